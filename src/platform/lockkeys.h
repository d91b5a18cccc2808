#pragma once

// The keyboard's lock keys as the window system reports them; all off where
// it cannot tell (offscreen, Wayland).
struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;

    static LockKeys current();
};
