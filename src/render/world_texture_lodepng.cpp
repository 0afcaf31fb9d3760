// The world texture where there is no SDL_image (the browser, Windows):
// decoded by LodePNG. The browser's SDL keeps images in canvases that have no
// pixels to lock once GL is in use.
#include "render/world_texture.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
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
    const GLsizei w = static_cast<GLsizei>(width), h = static_cast<GLsizei>(height);
#ifdef __EMSCRIPTEN__
    // WebGL has no GLU but mipmaps power-of-two sizes, which this texture is.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, image);
    if (mipmapping) glGenerateMipmap(GL_TEXTURE_2D);
#else
    // Windows' opengl32 stops at GL 1.1, before glGenerateMipmap.
    if (mipmapping) gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, w, h, GL_RGBA, GL_UNSIGNED_BYTE, image);
    else glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, image);
#endif
    std::free(image);
    return name;
}
