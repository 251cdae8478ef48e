#pragma once

#include <QByteArray>
#include <QByteArrayList>

// Extended attributes (user attributes such as a desktop's tags, ACLs,
// security labels), read and written without following links and without
// paths that grow with the depth of a tree.
namespace quillbox
{

// A file, folder or link whose extended attributes are read or written: an
// open file or folder, or a link named in an open folder (reached through
// /proc/self/fd).
class AttributeNode
{
  public:
    explicit AttributeNode(int fd) : fd_(fd) {}
    AttributeNode(int folder, const char *name);

    [[nodiscard]] ssize_t list(char *names, size_t size) const;
    [[nodiscard]] ssize_t get(const char *name, void *value, size_t size) const;
    [[nodiscard]] int set(const char *name, const void *value, size_t size) const;

  private:
    int fd_ = -1;
    QByteArray link_;
};

// Gives `to` every extended attribute of `from`. Returns the names of those
// that could not be read or set ("*" when not even their list could be
// read); empty when all were kept, or `from` has none or its file system
// keeps none.
[[nodiscard]] QByteArrayList copyExtendedAttributes(const AttributeNode &from,
                                                    const AttributeNode &to);

} // namespace quillbox
