#pragma once

#include <QString>

// The companion application, known by two identifiers: the main one, which
// also names its preferences file, and the alternate one (main + ".mac").
namespace quillbox::companion
{

inline const QString kMainIdentifier = QStringLiteral("com.quillbox.Quillbox");
inline const QString kAlternateIdentifier = kMainIdentifier + QStringLiteral(".mac");
inline const QString kLibraryLocationKey = QStringLiteral("LastLibraryLocation");
inline const QString kSupportAddress = QStringLiteral("support@quillbox.example");

} // namespace quillbox::companion
