#include "render/dashboard.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glext.h>  // GL_BGR and GL_BGRA, past Windows' GL 1.1

uint32_t new_atlas_texture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

uint32_t texture_from_surface(SDL_Surface* surface) {
    const uint32_t name = new_atlas_texture();

    const int bytes = surface->format->BytesPerPixel;
    const bool rgb_order = surface->format->Rmask == 0x000000FF;
    GLenum format = 0;
    if (bytes == 4) format = rgb_order ? GL_RGBA : GL_BGRA;
    else format = rgb_order ? GL_RGB : GL_BGR;

    // SDL pads every row to a multiple of 4 bytes, which is GL's alignment 4.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    glTexImage2D(GL_TEXTURE_2D, 0, bytes, surface->w, surface->h, 0, format, GL_UNSIGNED_BYTE,
                 surface->pixels);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return name;
}

void draw_dashboard(Atlas2D& atlas, const Screen& screen, float pause_fade,
                    const char* title_text, float version_number,
                    const char* date_text, const char* clock_text) {
    const DashboardLayout l = dashboard_layout(screen, pause_fade, date_text, clock_text);

    begin_2d_drawing(atlas, screen);
    draw_textured_quad(0, l.top_bar_y, screen.width, 60, atlas.top_bar_texcoords);
    end_2d_drawing();

    char version_text[64];
    format_version_text(version_text, sizeof version_text, version_number);
    draw_text(atlas, screen, title_text, l.title_x, l.title_y);
    draw_text(atlas, screen, version_text, l.version_x, l.version_y);
    draw_text(atlas, screen, date_text, l.date_x, l.date_y);
    draw_text(atlas, screen, clock_text, l.clock_x, l.clock_y);

    begin_2d_drawing(atlas, screen);
    draw_textured_quad(0, l.bottom_bar_y, screen.width, 60, atlas.bottom_bar_texcoords);
    end_2d_drawing();

    draw_text(atlas, screen, footer_text_1, l.footer1_x, l.footer1_y);
    draw_text(atlas, screen, footer_text_2, l.footer2_x, l.footer2_y);
}

void draw_cursor(const Atlas2D& atlas, const Screen& screen, int x, int y) {
    begin_2d_drawing(atlas, screen);
    draw_textured_quad(static_cast<float>(x - 12), static_cast<float>(y - 10), 40, 60,
                       atlas.cursor_texcoords);
    end_2d_drawing();
}
