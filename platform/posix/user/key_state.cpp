// The two key states: as input arrives (what the mouse messages' flags and
// the key messages' repeat bit report) and as of the message last taken
// from the queue (GetKeyState). Each key holds its down bit (0x80) and its
// toggle bit (1), which flips on every press.
#include "platform/posix/user/desktop.h"

namespace user {

namespace {

void set_key(unsigned char* keys, int vk, bool down) {
    vk &= 0xff;
    if (down) {
        if (!(keys[vk] & 0x80)) {
            keys[vk] ^= 1;
        }
        keys[vk] |= 0x80;
    } else {
        keys[vk] &= ~0x80;
    }
}

}  // namespace

bool async_key_down(int vk) {
    return (desktop().async_keys[vk & 0xff] & 0x80) != 0;
}

void set_async_key(int vk, bool down) {
    set_key(desktop().async_keys, vk, down);
}

void apply_key(int vk, bool down) {
    set_key(desktop().sync_keys, vk, down);
}

}  // namespace user

SHORT WINAPI GetKeyState(int nVirtKey) {
    unsigned char state = user::desktop().sync_keys[nVirtKey & 0xff];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 1));
}
