// Reading SDL's queue into per-pass key and button states: events pushed
// straight into the queue, and real X input through XTest into a real
// window.
#include "app/read_input.h"
#include "app/video.h"
#include "support/game_process.h"
#include "support/x_client.h"
#include "window_support.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

void push_key(Uint8 type, int sym) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void push_button(Uint8 type, int button) {
    SDL_Event event{};
    event.type = type;
    event.button.type = type;
    event.button.button = static_cast<Uint8>(button);
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// Events of any type still waiting in SDL's queue.
int queued_events() {
    SDL_Event events[64];
    return SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

// SDL's event queue without a window: pushed events are all that arrive.
class QueuedInput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }

    static Input& fresh_input() {
        static Input input;
        input = Input();
        return input;
    }
    Input& input = fresh_input();
    Screen screen;
};

}  // namespace

TEST_F(QueuedInput, HeldKeyReadsPressedOnceThenHeldThenUp) {
    push_key(SDL_KEYDOWN, SDLK_w);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[SDLK_w], input_pressed);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[SDLK_w], input_held);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[SDLK_w], input_held);
    push_key(SDL_KEYUP, SDLK_w);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[SDLK_w], input_up);
    EXPECT_EQ(queued_events(), 0);
}

TEST_F(QueuedInput, PressAndReleaseBetweenPassesIsNotSeen) {
    push_key(SDL_KEYDOWN, SDLK_q);
    push_key(SDL_KEYUP, SDLK_q);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[SDLK_q], input_up);
    EXPECT_EQ(input.mouse_button_state[SDL_BUTTON_LEFT], input_up);
}

TEST_F(QueuedInput, EscapePressReleasePressEndsUp) {
    push_key(SDL_KEYDOWN, SDLK_ESCAPE);
    push_key(SDL_KEYUP, SDLK_ESCAPE);
    push_key(SDL_KEYDOWN, SDLK_ESCAPE);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[SDLK_ESCAPE], input_up);
}

TEST_F(QueuedInput, HeldKeyReleasedAndPressedAgainEndsUp) {
    push_key(SDL_KEYDOWN, SDLK_SPACE);
    read_input(input, screen);
    read_input(input, screen);
    ASSERT_EQ(input.key_state[SDLK_SPACE], input_held);
    push_key(SDL_KEYUP, SDLK_SPACE);
    push_key(SDL_KEYDOWN, SDLK_SPACE);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[SDLK_SPACE], input_up);
}

TEST_F(QueuedInput, ButtonsFollowTheSameStates) {
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    push_key(SDL_KEYDOWN, SDLK_UP);
    read_input(input, screen);
    EXPECT_EQ(input.mouse_button_state[SDL_BUTTON_RIGHT], input_pressed);
    EXPECT_EQ(input.key_state[key_up], input_pressed);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    read_input(input, screen);
    EXPECT_EQ(input.mouse_button_state[SDL_BUTTON_RIGHT], input_held);
    EXPECT_EQ(input.mouse_button_state[SDL_BUTTON_LEFT], input_pressed);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
    read_input(input, screen);
    EXPECT_EQ(input.mouse_button_state[SDL_BUTTON_RIGHT], input_up);
    EXPECT_EQ(input.mouse_button_state[SDL_BUTTON_LEFT], input_held);
    EXPECT_EQ(input.key_state[key_up], input_held);
}

TEST_F(QueuedInput, SymbolsAndButtonsBeyondTheTablesAreIgnored) {
    push_key(SDL_KEYDOWN, 500);
    push_key(SDL_KEYDOWN, 511);
    push_button(SDL_MOUSEBUTTONDOWN, 10);
    push_button(SDL_MOUSEBUTTONDOWN, 255);
    push_button(SDL_MOUSEBUTTONDOWN, 9);
    read_input(input, screen);
    EXPECT_EQ(input.mouse_button_state[9], input_pressed);
    int set = 0;
    for (int32_t state : input.key_state) set += state != input_up;
    for (int32_t state : input.mouse_button_state) set += state != input_up;
    EXPECT_EQ(set, 1);
    EXPECT_EQ(queued_events(), 0);
}

TEST_F(QueuedInput, OtherEventsStayForTheMainLoop) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 0);
    push_key(SDL_KEYDOWN, SDLK_e);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    ASSERT_EQ(SDL_PushEvent(&motion), 0);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[SDLK_e], input_pressed);
    SDL_Event left[4];
    ASSERT_EQ(SDL_PeepEvents(left, 4, SDL_GETEVENT, SDL_ALLEVENTS), 2);
    EXPECT_EQ(left[0].type, SDL_QUIT);
    EXPECT_EQ(left[1].type, SDL_MOUSEMOTION);
}

TEST_F(QueuedInput, ViewSizeComesFromTheScreen) {
    screen.width = 800;
    screen.height = 600;
    read_input(input, screen);
    EXPECT_EQ(input.view_width, 800.0f);
    EXPECT_EQ(input.view_height, 600.0f);
}

namespace {

// Pumps SDL's queue until the condition holds or about two seconds pass.
bool pump_until(const std::function<bool()>& done) {
    for (int i = 0; i < 200; ++i) {
        SDL_PumpEvents();
        if (done()) return true;
        sleep_ms(10);
    }
    return false;
}

}  // namespace

// Real X input through the real window: symbols, buttons, the pointer and
// mouse focus as the game sees them.
TEST(WindowInput, XTestInputReachesTheTables) {
    Screen screen;
    ASSERT_TRUE(open_window(screen, 320, 240));
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = x.wait_for_window(game_window_caption, 5000);
    ASSERT_NE(window, 0u);
    static Input input;
    input = Input();

    x.move_pointer(window, 100, 50);
    EXPECT_TRUE(pump_until([&] {
        refresh_mouse_focus(input);
        return input.mouse_in_window;
    }));
    read_input(input, screen);
    EXPECT_EQ(input.mouse_x, 100);
    EXPECT_EQ(input.mouse_y, 50);

    // Both presses taken in one pass read 2, then 1.
    x.key_down(XK_Up);
    x.button_down(3);
    EXPECT_TRUE(pump_until([] {
        SDL_Event seen[2];
        return SDL_PeepEvents(seen, 2, SDL_PEEKEVENT,
                              SDL_KEYDOWNMASK | SDL_MOUSEBUTTONDOWNMASK) == 2;
    }));
    read_input(input, screen);
    EXPECT_EQ(input.key_state[key_up], input_pressed);
    EXPECT_EQ(input.mouse_button_state[button_right], input_pressed);
    read_input(input, screen);
    EXPECT_EQ(input.key_state[key_up], input_held);
    EXPECT_EQ(input.mouse_button_state[button_right], input_held);

    x.key_up(XK_Up);
    x.button_up(3);
    EXPECT_TRUE(pump_until([&] {
        read_input(input, screen);
        return input.key_state[key_up] == input_up &&
               input.mouse_button_state[button_right] == input_up;
    }));

    // The pointer leaves: the last position stays, the focus goes.
    x.move_pointer_to_screen(900, 700);
    EXPECT_TRUE(pump_until([&] {
        refresh_mouse_focus(input);
        return !input.mouse_in_window;
    }));
    read_input(input, screen);
    EXPECT_EQ(input.mouse_x, 100);
    EXPECT_EQ(input.mouse_y, 50);
    SDL_Quit();
}
