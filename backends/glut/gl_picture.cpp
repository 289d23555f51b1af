#include "backends/glut/gl_picture.h"

// GLEW must come before any other GL header.
#include <GL/glew.h>

#include <type_traits>

#include "screen/framebuffer.h"

namespace screen {
namespace {

static_assert(std::is_same_v<GLuint, unsigned>);

// GL 1.x wants powers of two; the picture sits in the top-left corner.
constexpr int texture_width = 1024, texture_height = 512;

}  // namespace

void gl_picture::set_up() {
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, texture_width, texture_height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 1, 0, -1, 1);  // y downwards, like the picture's rows
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void gl_picture::upload(const screen_frame& frame) {
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, screen_width);
    auto put = [&](int from_x, int from_y, int x, int y, int w, int h) {
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, from_x);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, from_y);
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, frame.rgb.data());
    };
    put(0, 0, 0, 0, screen_width, screen_height);
    // The last column and row once more beside the picture, so that linear
    // filtering at its edges does not blend in the unused texture.
    put(screen_width - 1, 0, screen_width, 0, 1, screen_height);
    put(0, screen_height - 1, 0, screen_height, screen_width, 1);
    put(screen_width - 1, screen_height - 1, screen_width, screen_height, 1, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

void gl_picture::draw(int w, int h, rect r, bool smooth) {
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(r.x, h - r.y - r.h, r.w, r.h);  // GL counts rows from the bottom
    const GLint filter = smooth ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    const float s1 = float(screen_width) / texture_width, t1 = float(screen_height) / texture_height;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(0, 0);
    glTexCoord2f(s1, 0), glVertex2f(1, 0);
    glTexCoord2f(s1, t1), glVertex2f(1, 1);
    glTexCoord2f(0, t1), glVertex2f(0, 1);
    glEnd();
}

}  // namespace screen
