#include "app/core/fs/ExtendedAttributes.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/xattr.h>
#include <vector>

namespace quillbox
{
namespace
{

// The bytes of `node`'s attribute names (each ends in NUL) when `name` is
// null, else of the value of its attribute `name`; nullopt when they cannot
// be read.
std::optional<std::vector<char>> readAttribute(const AttributeNode &node, const char *name)
{
    for (int tries = 0; tries < 3; ++tries) {
        const ssize_t size = name == nullptr ? node.list(nullptr, 0) : node.get(name, nullptr, 0);
        if (size < 0)
            return std::nullopt;
        std::vector<char> bytes(static_cast<size_t>(size));
        const ssize_t read = name == nullptr ? node.list(bytes.data(), bytes.size())
                                             : node.get(name, bytes.data(), bytes.size());
        if (read >= 0) {
            bytes.resize(static_cast<size_t>(read));
            return bytes;
        }
        if (errno != ERANGE) // ERANGE: it grew meanwhile, so ask again
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

AttributeNode::AttributeNode(int folder, const char *name)
    : link_("/proc/self/fd/" + QByteArray::number(folder) + '/' + name)
{
}

ssize_t AttributeNode::list(char *names, size_t size) const
{
    return fd_ >= 0 ? ::flistxattr(fd_, names, size) : ::llistxattr(link_, names, size);
}

ssize_t AttributeNode::get(const char *name, void *value, size_t size) const
{
    return fd_ >= 0 ? ::fgetxattr(fd_, name, value, size) : ::lgetxattr(link_, name, value, size);
}

int AttributeNode::set(const char *name, const void *value, size_t size) const
{
    return fd_ >= 0 ? ::fsetxattr(fd_, name, value, size, 0)
                    : ::lsetxattr(link_, name, value, size, 0);
}

QByteArrayList copyExtendedAttributes(const AttributeNode &from, const AttributeNode &to)
{
    const std::optional<std::vector<char>> names = readAttribute(from, nullptr);
    if (!names)
        return errno == ENOTSUP ? QByteArrayList{} : QByteArrayList{"*"};
    QByteArrayList dropped;
    for (size_t at = 0; at < names->size(); at += std::strlen(names->data() + at) + 1) {
        const char *name = names->data() + at;
        const std::optional<std::vector<char>> value = readAttribute(from, name);
        if (!value || to.set(name, value->data(), value->size()) != 0)
            dropped.append(name);
    }
    return dropped;
}

} // namespace quillbox
