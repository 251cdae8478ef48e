#pragma once

#include <QString>
#include <QStringView>

// Path arithmetic on '/'-separated paths held as QString, counted in UTF-16
// code units. One set of rules serves every file-name helper:
//  - a trailing '/' (other than a lone "/") is ignored when taking components;
//  - the extension of a name is the text after its last '.', provided that
//    dot is neither the first nor the last character of the name. Hidden
//    names such as ".bashrc" and names ending in '.' have no extension.
// None of these functions touches the file system.
namespace bf
{

// The part of `path` after its last '/', ignoring trailing slashes.
// "/a/b.txt" -> "b.txt", "a/b/" -> "b", "/" -> "/", "" -> "".
[[nodiscard]] QString lastPathComponent(QStringView path);

// The extension of the last component, without the dot; empty when none.
// "a/b.tar.gz" -> "gz", ".profile" -> "", "a." -> "", "" -> "".
[[nodiscard]] QString pathExtension(QStringView path);

// `path` without its extension and the dot before it; unchanged when it has
// no extension. Trailing slashes are dropped with the extension.
// "a/b.tar.gz" -> "a/b.tar", ".profile" -> ".profile".
[[nodiscard]] QString stringByDeletingPathExtension(QStringView path);

// `path`, then ".", then `extension`. An empty extension returns `path`
// unchanged (no trailing dot is added).
[[nodiscard]] QString stringByAppendingPathExtension(QStringView path, QStringView extension);

// `path`, a '/' where one is needed, then `component`. An empty `path`
// returns `component`; an empty `component` returns `path`.
// "/a" + "b" -> "/a/b", "/a/" + "b" -> "/a/b", "/" + "b" -> "/b".
[[nodiscard]] QString stringByAppendingPathComponent(QStringView path, QStringView component);

} // namespace bf
