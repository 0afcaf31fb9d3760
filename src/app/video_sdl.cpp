#include "app/video.h"

#include "app/host.h"
#include "app/report.h"
#include "render/gl_procs.h"
#include "render/gl_quality.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>

namespace {

void request_framebuffer(bool multisampling) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (multisampling) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 4);
    }
}

void withdraw_multisampling() {
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
}

void set_fixed_gl_state(const Screen& screen, bool antialiasing) {
    glViewport(0, 0, static_cast<int>(screen.width), static_cast<int>(screen.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(screen.field_of_view, screen.aspect_ratio, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1000.0);  // clamped by GL to the far end, 1.0
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0f);
    set_quality_state(antialiasing);
}

int fail_video(const char* what) {
    report_failure("%s", what);
    SDL_Quit();
    return exit_video_failed;
}

}  // namespace

int setup_video(const Settings& settings, Screen& screen) {
    screen.field_of_view = 45.0f;
    screen.width = settings.screen_width;
    screen.height = settings.screen_height;
    screen.bpp = settings.screen_bpp;
    screen.aspect_ratio = settings.aspect_ratio;

#ifdef SDL_VIDEO_DRIVER_X11
    // Only SDL's X11 driver can give an OpenGL window. Left to choose, SDL
    // falls back to a text-terminal driver when there is no display, which
    // scribbles over the terminal and cannot open the window anyway.
    setenv("SDL_VIDEODRIVER", "x11", 0);
#endif
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        report_failure("cannot start SDL video");
        return exit_sdl_failed;
    }
    SDL_WM_SetCaption(game_web_address, nullptr);
    request_framebuffer(settings.antialiasing);

    // A zero dimension asks for the desktop's.
    if ((screen.width == 0.0f || screen.height == 0.0f) && !host_fill_zero_size(screen))
        return fail_video("cannot find the desktop size");

    Uint32 flags = SDL_OPENGL | (settings.fullscreen ? SDL_FULLSCREEN : 0);
    int w = static_cast<int>(screen.width), h = static_cast<int>(screen.height);
    const bool allowed = host_size_allowed(w, h);
    SDL_Surface* surface = allowed ? SDL_SetVideoMode(w, h, screen.bpp, flags) : nullptr;
    if (surface == nullptr && allowed && settings.antialiasing) {
        // Displays without multisampled visuals refuse the mode for that
        // alone; the game looks almost the same without it.
        withdraw_multisampling();
        surface = SDL_SetVideoMode(w, h, screen.bpp, flags);
    }
    if (surface == nullptr) {
        char what[96];
        std::snprintf(what, sizeof what, "cannot open a %dx%d%s OpenGL window", w, h,
                      settings.fullscreen ? " full-screen" : "");
        return fail_video(what);
    }

    load_gl_procs();
    set_fixed_gl_state(screen, settings.antialiasing);
    screen.width = static_cast<float>(surface->w);
    screen.height = static_cast<float>(surface->h);
    screen.bpp = surface->format->BitsPerPixel;
    screen.aspect_ratio = screen.width / screen.height;
    host_show_window(settings);
    return 0;
}
