// The English plural forms are added to this library by CMake; this file
// only gives the library an object of its own.
namespace quillbox
{
extern const int kEnglishPluralsVersion;
const int kEnglishPluralsVersion = 1;
} // namespace quillbox
