// The resources are added to this library by CMake; this file only gives the
// library an object of its own.
namespace quillbox
{
extern const int kResourcesVersion;
const int kResourcesVersion = 1;
} // namespace quillbox
