// Icon resources: the program's icon groups as cmake/icon-resource.py lays
// them out, each picture's pixels run-length coded, read with every length
// checked. A program built without them (the unit tests) has none.
#include "platform/posix/user/icons.h"

#include <stddef.h>

extern "C" {
extern const unsigned char program_icon_resources[] __attribute__((weak));
extern const size_t program_icon_resources_size __attribute__((weak));
}

namespace user {

namespace {

struct Coded {
    int side;
    const unsigned char* bytes;
    size_t length;
};

// One group: the handle LoadIconA gives out points at it.
struct Group {
    WORD id = 0;
    std::vector<Coded> pictures;  // smallest first
};

class Reader {
  public:
    Reader(const unsigned char* bytes, size_t length) : at_(bytes), end_(bytes + length) {}
    bool take(size_t count, const unsigned char** bytes) {
        if (static_cast<size_t>(end_ - at_) < count) {
            return false;
        }
        *bytes = at_;
        at_ += count;
        return true;
    }
    bool number(size_t count, uint32_t* value) {
        const unsigned char* bytes = nullptr;
        if (!take(count, &bytes)) {
            return false;
        }
        *value = 0;
        for (size_t i = count; i-- > 0;) {
            *value = *value << 8 | bytes[i];
        }
        return true;
    }

  private:
    const unsigned char* at_;
    const unsigned char* end_;
};

std::vector<Group> read_groups() {
    std::vector<Group> groups;
    if (program_icon_resources == nullptr || &program_icon_resources_size == nullptr) {
        return groups;
    }
    Reader reader(program_icon_resources, program_icon_resources_size);
    uint32_t count = 0;
    if (!reader.number(1, &count)) {
        return groups;
    }
    for (uint32_t g = 0; g < count; g++) {
        Group group;
        uint32_t id = 0, pictures = 0;
        if (!reader.number(2, &id) || !reader.number(1, &pictures)) {
            return groups;
        }
        group.id = static_cast<WORD>(id);
        for (uint32_t p = 0; p < pictures; p++) {
            uint32_t side = 0, length = 0;
            Coded coded{};
            if (!reader.number(2, &side) || !reader.number(4, &length) || !reader.take(length, &coded.bytes) ||
                side == 0 || (!group.pictures.empty() && static_cast<int>(side) <= group.pictures.back().side)) {
                return groups;
            }
            coded.side = static_cast<int>(side);
            coded.length = length;
            group.pictures.push_back(coded);
        }
        if (!group.pictures.empty()) {
            groups.push_back(group);
        }
    }
    return groups;
}

// Read on the first LoadIconA, kept for the process.
const std::vector<Group>& groups() {
    static const std::vector<Group> read = read_groups();
    return read;
}

const Group* group_of(HICON icon) {
    for (const Group& group : groups()) {
        if (reinterpret_cast<HICON>(const_cast<Group*>(&group)) == icon) {
            return &group;
        }
    }
    return nullptr;
}

// A count byte c, then one pixel c + 1 times (c < 128) or c - 127 pixels.
bool decode(const Coded& coded, uint32_t* pixels) {
    const size_t total = static_cast<size_t>(coded.side) * coded.side;
    Reader reader(coded.bytes, coded.length);
    size_t done = 0;
    while (done < total) {
        uint32_t code = 0, pixel = 0;
        if (!reader.number(1, &code)) {
            return false;
        }
        const bool run = code < 128;
        const size_t count = run ? code + 1 : code - 127;
        if (count > total - done) {
            return false;
        }
        for (size_t i = 0; i < count; i++) {
            if ((i == 0 || !run) && !reader.number(4, &pixel)) {
                return false;
            }
            pixels[done++] = pixel;
        }
    }
    return true;
}

}  // namespace

HICON load_resource_icon(HINSTANCE instance, LPCSTR name) {
    if (instance != nullptr && instance == GetModuleHandleA(nullptr) && IS_INTRESOURCE(name)) {
        const WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
        for (const Group& group : groups()) {
            if (group.id == id) {
                return reinterpret_cast<HICON>(const_cast<Group*>(&group));
            }
        }
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

bool draw_resource_icon(HICON icon, int side, uint32_t* pixels) {
    const Group* group = group_of(icon);
    if (group == nullptr || side <= 0) {
        return false;
    }
    const Coded* chosen = &group->pictures.back();
    for (const Coded& coded : group->pictures) {
        if (coded.side >= side) {
            chosen = &coded;
            break;
        }
    }
    std::vector<uint32_t> picture(static_cast<size_t>(chosen->side) * chosen->side);
    if (!decode(*chosen, picture.data())) {
        return false;
    }
    // Each pixel the picture's pixel under its centre, as the platform
    // stretches an icon of another size.
    for (int y = 0; y < side; y++) {
        const int from_y = (2 * y + 1) * chosen->side / (2 * side);
        for (int x = 0; x < side; x++) {
            const int from_x = (2 * x + 1) * chosen->side / (2 * side);
            pixels[static_cast<size_t>(y) * side + x] = picture[static_cast<size_t>(from_y) * chosen->side + from_x];
        }
    }
    return true;
}

std::vector<IconPicture> resource_icon_pictures(HICON icon) {
    std::vector<IconPicture> pictures;
    const Group* group = group_of(icon);
    if (group == nullptr) {
        return pictures;
    }
    for (const Coded& coded : group->pictures) {
        IconPicture picture;
        picture.side = coded.side;
        picture.pixels.resize(static_cast<size_t>(coded.side) * coded.side);
        if (!decode(coded, picture.pixels.data())) {
            return {};
        }
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

}  // namespace user
