#include "render/draw2d.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// Lays out (layout(first) fills batch and returns the total) and draws one
// batch at a time, in layout order, each batch in one call: the quads of a
// call are drawn in their order, as they were one call each. Interleaved
// (x, y, s, t), which the browser's GL takes without copying it again.
template <typename Layout>
void draw_batches(const QuadBatch& batch, const AtlasQuad* table, Layout layout) {
    float vertices[quad_batch_capacity * 16];
    for (int first = 0;; first += quad_batch_capacity) {
        const int total = layout(first);
        for (int i = 0; i < batch.count; ++i) {
            const Quad2D& q = batch.quads[i];
            float corners[8];
            screen_quad_vertices(corners, q.x, q.y, q.w, q.h);
            for (int k = 0; k < 4; ++k) {
                float* v = vertices + i * 16 + k * 4;
                v[0] = corners[2 * k], v[1] = corners[2 * k + 1];
                v[2] = table[q.entry].uv[2 * k], v[3] = table[q.entry].uv[2 * k + 1];
            }
        }
        if (batch.count > 0) {
            glVertexPointer(2, GL_FLOAT, 16, vertices);
            glTexCoordPointer(2, GL_FLOAT, 16, vertices + 2);
            glDrawArrays(GL_QUADS, 0, batch.count * 4);
        }
        if (total - first <= quad_batch_capacity) break;
    }
}

}  // namespace

void set_ortho_2d(const Screen& screen) {
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, screen.width, screen.height, 0.0);
}

void begin_2d_drawing(const Atlas2D& atlas, const Screen& screen) {
    set_ortho_2d(screen);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
}

void end_2d_drawing() {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}

void draw_textured_quad(float x, float y, float w, float h, const AtlasQuad& quad) {
    float vertices[8];
    screen_quad_vertices(vertices, x, y, w, h);
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, quad.uv);
    glDrawArrays(GL_QUADS, 0, 4);
}

void draw_text(Atlas2D& atlas, const Screen& screen, const char* text, int pen_x, int pen_y) {
    begin_2d_drawing(atlas, screen);
    draw_batches(atlas.batch, atlas.glyph_table, [&](int first) {
        return text_cells(atlas.batch, first, text, pen_x, pen_y);
    });
    end_2d_drawing();
}

void draw_panel(Atlas2D& atlas, const Screen& screen, int x, int y, int w, int h, int style) {
    begin_2d_drawing(atlas, screen);
    draw_batches(atlas.batch, atlas.panel_table, [&](int first) {
        return panel_pieces(atlas.batch, first, x, y, w, h, style);
    });
    end_2d_drawing();
}
