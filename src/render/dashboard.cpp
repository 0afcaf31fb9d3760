#include "render/dashboard.h"

#include <cstdio>
#include <cstring>

int bar_slide(float pause_fade) {
    return static_cast<int>(68.0f * (1.0f - pause_fade * 0.01f));
}

void format_version_text(char* out, size_t size, float version_number) {
    std::snprintf(out, size, "%s%f", "v", static_cast<double>(version_number));
    size_t n = std::strlen(out);
    while (n > 2 && out[n - 1] == '0' && out[n - 2] != '.') out[--n] = '\0';
}

DashboardLayout dashboard_layout(const Screen& screen, float pause_fade, const char* date_text,
                                 const char* clock_text) {
    const int slide = bar_slide(pause_fade);
    const int right = static_cast<int>(screen.width - 20.0f);
    const float bottom = screen.height - 61.0f + static_cast<float>(slide);
    DashboardLayout l;
    l.top_bar_y = static_cast<float>(-slide);
    l.bottom_bar_y = screen.height - 60.0f + static_cast<float>(slide);
    l.title_x = 20;
    l.title_y = 18 - slide;
    l.version_x = 20;
    l.version_y = 38 - slide;
    l.date_x = right_aligned_pen_x(right, static_cast<int>(std::strlen(date_text)));
    l.date_y = 18 - slide;
    l.clock_x = right_aligned_pen_x(right, static_cast<int>(std::strlen(clock_text)));
    l.clock_y = 38 - slide;
    l.footer1_x = 20;
    l.footer1_y = static_cast<int>(bottom + 3.0f);
    l.footer2_x = 20;
    l.footer2_y = static_cast<int>(bottom + 23.0f);
    return l;
}
