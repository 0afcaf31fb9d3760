// The world texture in the browser: decoded by LodePNG, as the browser's SDL
// keeps images in canvases that have no pixels to lock once GL is in use, and
// mipmapped by GL itself, as there is no gluBuild2DMipmaps. WebGL mipmaps
// power-of-two sizes only, which the world texture is.
#include "render/world_texture.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <lodepng.h>

#include <cstdlib>

uint32_t load_world_texture(const char* path, bool mipmapping) {
    unsigned char* image = nullptr;
    unsigned width = 0, height = 0;
    if (lodepng_decode32_file(&image, &width, &height, path) != 0) return 0;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmapping ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_RGBA, GL_UNSIGNED_BYTE, image);
    if (mipmapping) glGenerateMipmap(GL_TEXTURE_2D);
    std::free(image);
    return name;
}

void init_atlas_tiles(World& world, const char* path, bool mipmapping) {
    world.world_texture = load_world_texture(path, mipmapping);
    set_atlas_tiles(world);
}
