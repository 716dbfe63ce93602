// stb_image's implementation, compiled once: PNG only, from memory only (files are read
// through the platform layer). It is someone else's code, compiled without our warnings
// (persistence/CMakeLists.txt); persistence/Hoehenbild uses it.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
