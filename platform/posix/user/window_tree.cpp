// Walking the windows: parents, owners, siblings, children, enumeration
// and finding by class and title.
#include <strings.h>

#include <algorithm>

#include "platform/posix/user/window.h"

namespace user {

namespace {

void collect_descendants(Window* window, std::vector<HWND>* out) {
    for (HWND child : window->children) {
        out->push_back(child);
        Window* c = peek_window(child);
        if (c != nullptr) {
            collect_descendants(c, out);
        }
    }
}

const std::vector<HWND>* siblings_of(Window* window) {
    if (window->parent == nullptr) {
        return &top_level_windows();
    }
    Window* parent = peek_window(window->parent);
    return parent != nullptr ? &parent->children : nullptr;
}

}  // namespace

}  // namespace user

HWND WINAPI GetParent(HWND hWnd) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return nullptr;
    }
    if (window->style & WS_CHILD) {
        return window->parent;
    }
    if (window->style & WS_POPUP) {
        return window->owner;
    }
    return nullptr;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
    user::Window* window = user::find_window(hwnd);
    if (window == nullptr) {
        return nullptr;
    }
    switch (gaFlags) {
        case GA_PARENT:
            return window->parent;
        case GA_ROOT:
            return user::top_level_of(window)->handle;
        case GA_ROOTOWNER: {
            user::Window* root = user::top_level_of(window);
            while (root->owner != nullptr && user::peek_window(root->owner) != nullptr) {
                root = user::peek_window(root->owner);
            }
            return root->handle;
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return nullptr;
    }
    if (uCmd == GW_OWNER) {
        return window->owner;
    }
    if (uCmd == GW_CHILD) {
        return window->children.empty() ? nullptr : window->children.front();
    }
    const std::vector<HWND>* siblings = user::siblings_of(window);
    if (siblings == nullptr || siblings->empty()) {
        return nullptr;
    }
    auto it = std::find(siblings->begin(), siblings->end(), hWnd);
    switch (uCmd) {
        case GW_HWNDFIRST:
            return siblings->front();
        case GW_HWNDLAST:
            return siblings->back();
        case GW_HWNDNEXT:
            return (it == siblings->end() || it + 1 == siblings->end()) ? nullptr : *(it + 1);
        case GW_HWNDPREV:
            return (it == siblings->end() || it == siblings->begin()) ? nullptr : *(it - 1);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
    for (HWND hwnd : user::top_level_windows()) {
        user::Window* window = user::peek_window(hwnd);
        if (window == nullptr) {
            continue;
        }
        if (lpClassName != nullptr) {
            user::WindowClass* cls = user::find_class(lpClassName);
            if (cls == nullptr || strcasecmp(cls->name.c_str(), window->cls->name.c_str()) != 0) {
                continue;
            }
        }
        if (lpWindowName != nullptr && strcasecmp(lpWindowName, window->text.c_str()) != 0) {
            continue;
        }
        return hwnd;
    }
    // What the platform reports whether or not the class exists.
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr || window->parent == nullptr) {
        return 0;
    }
    return static_cast<int>(window->id);
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    user::Window* window = user::find_window(hDlg);
    if (window == nullptr) {
        return nullptr;
    }
    for (HWND child : window->children) {
        user::Window* c = user::peek_window(child);
        if (c != nullptr && static_cast<int>(c->id) == nIDDlgItem) {
            return child;
        }
    }
    return nullptr;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    user::Window* window = user::peek_window(hWnd);
    if (window == nullptr || user::peek_window(hWndParent) == nullptr) {
        return FALSE;
    }
    while (window != nullptr && window->parent != nullptr) {
        if (window->parent == hWndParent) {
            return TRUE;
        }
        window = user::peek_window(window->parent);
    }
    return FALSE;
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    if (lpEnumFunc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<HWND> list = user::top_level_windows();
    for (HWND hwnd : list) {
        if (user::peek_window(hwnd) != nullptr && !lpEnumFunc(hwnd, lParam)) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    if (lpEnumFunc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<HWND> list;
    if (hWndParent == nullptr) {
        for (HWND top : user::top_level_windows()) {
            list.push_back(top);
            user::Window* window = user::peek_window(top);
            if (window != nullptr) {
                user::collect_descendants(window, &list);
            }
        }
    } else {
        user::Window* parent = user::find_window(hWndParent);
        if (parent == nullptr) {
            return FALSE;
        }
        user::collect_descendants(parent, &list);
    }
    for (HWND hwnd : list) {
        if (user::peek_window(hwnd) != nullptr && !lpEnumFunc(hwnd, lParam)) {
            return FALSE;
        }
    }
    return TRUE;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    if (user::find_window(hWnd) == nullptr) {
        return 0;
    }
    if (lpdwProcessId != nullptr) {
        *lpdwProcessId = GetCurrentProcessId();
    }
    return GetCurrentThreadId();
}
