// Window classes: RegisterClassA, UnregisterClassA, GetClassNameA and the
// layer's own classes. Names are compared without regard to case.
#include <strings.h>

#include <deque>

#include "platform/posix/user/desktop.h"

namespace user {

namespace {

std::deque<WindowClass>& classes() {
    return desktop().classes;
}

bool same_name(const WindowClass& cls, LPCSTR name) {
    if (IS_INTRESOURCE(name)) {
        return cls.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    }
    return strcasecmp(cls.name.c_str(), name) == 0;
}

bool live(const WindowClass& cls) {
    return cls.atom != 0;
}

ATOM add_class(const WNDCLASSA& wc, bool system) {
    WindowClass cls;
    cls.name = wc.lpszClassName;
    cls.wc = wc;
    cls.atom = desktop().next_atom++;
    cls.windows = 0;
    cls.system = system;
    auto& list = classes();
    // Reuse an unregistered entry so the list stays small.
    for (auto& old : list) {
        if (!live(old) && old.windows == 0) {
            old = cls;
            old.wc.lpszClassName = old.name.c_str();
            return old.atom;
        }
    }
    list.push_back(cls);
    list.back().wc.lpszClassName = list.back().name.c_str();
    return list.back().atom;
}

}  // namespace

// Application classes first, so that one may stand in for a system class.
WindowClass* find_class(LPCSTR name) {
    if (name == nullptr) {
        return nullptr;
    }
    register_system_classes();
    WindowClass* system = nullptr;
    for (auto& cls : classes()) {
        if (live(cls) && same_name(cls, name)) {
            if (!cls.system) {
                return &cls;
            }
            system = &cls;
        }
    }
    return system;
}

void register_system_classes() {
    if (desktop().system_classes) {
        return;
    }
    desktop().system_classes = true;
    add_class(button_class(), true);
    add_class(static_class(), true);
    add_class(message_box_class(), true);
}

}  // namespace user

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (lpWndClass == nullptr || lpWndClass->lpszClassName == nullptr || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
        lpWndClass->lpszClassName[0] == '\0' || lpWndClass->cbWndExtra < 0 || lpWndClass->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    user::register_system_classes();
    for (auto& cls : user::classes()) {
        if (user::live(cls) && !cls.system && user::same_name(cls, lpWndClass->lpszClassName)) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    // A window of the class comes next: the desktop's colours are asked for
    // now, so that the answer comes while the program goes on.
    user::ask_desktop_colours();
    return user::add_class(*lpWndClass, false);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
    if (lpClassName == nullptr) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (auto& cls : user::classes()) {
        if (!user::live(cls) || cls.system || !user::same_name(cls, lpClassName)) {
            continue;
        }
        if (hInstance != nullptr && cls.wc.hInstance != nullptr && hInstance != cls.wc.hInstance) {
            continue;
        }
        if (cls.windows > 0) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
        cls.atom = 0;
        return TRUE;
    }
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return 0;
    }
    if (lpClassName == nullptr || nMaxCount <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string& name = window->cls->name;
    int n = static_cast<int>(name.size());
    if (n > nMaxCount - 1) {
        n = nMaxCount - 1;
    }
    memcpy(lpClassName, name.data(), n);
    lpClassName[n] = '\0';
    return n;
}
