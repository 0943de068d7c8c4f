// wl_shm buffers, each in a pool of its own made from an anonymous file.
// A buffer handed to the compositor is not written until it says it has
// let go of it (wl_buffer.release); a surface keeps a few, so that drawing
// never waits for the compositor. One may be lent to the window layer to
// draw into (present.cpp).
#include <errno.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/posix/display/wayland/connection.h"

namespace display::wayland {

namespace {

// Two are enough while the compositor shows one and we draw the other; a
// third covers a compositor that holds the shown one past the next frame.
constexpr size_t max_buffers = 3;

void on_release(void* data, wl_buffer*) {
    Buffer* buffer = static_cast<Buffer*>(data);
    buffer->busy = false;
}

const wl_buffer_listener buffer_listener = {on_release};

int anonymous_file(size_t bytes) {
    int fd = memfd_create("sorvane-frame", MFD_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    int result;
    do {
        result = ftruncate(fd, static_cast<off_t>(bytes));
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::unique_ptr<Buffer> make_buffer(wl_shm* shm, int width, int height, uint32_t format) {
    if (shm == nullptr || width <= 0 || height <= 0) {
        return nullptr;
    }
    auto buffer = std::make_unique<Buffer>();
    buffer->width = width;
    buffer->height = height;
    buffer->bytes = static_cast<size_t>(width) * height * 4;
    int fd = anonymous_file(buffer->bytes);
    if (fd < 0) {
        return nullptr;
    }
    // A frame fills it whole: its pages made present in one call, not one
    // fault each.
    void* memory = mmap(nullptr, buffer->bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, 0);
    if (memory == MAP_FAILED) {
        ::close(fd);
        return nullptr;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(buffer->bytes));
    buffer->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, format);
    // The buffer keeps the pool's memory; the pool and the file may go.
    wl_shm_pool_destroy(pool);
    ::close(fd);
    buffer->pixels = static_cast<uint32_t*>(memory);
    wl_buffer_add_listener(buffer->buffer, &buffer_listener, buffer.get());
    return buffer;
}

void destroy_buffer(Buffer* buffer) {
    if (buffer->buffer != nullptr) {
        wl_buffer_destroy(buffer->buffer);
        buffer->buffer = nullptr;
    }
    if (buffer->pixels != nullptr) {
        munmap(buffer->pixels, buffer->bytes);
        buffer->pixels = nullptr;
    }
}

// Frees the buffers the compositor no longer reads: all of an old size,
// and of the current size any beyond the first free one.
Buffer* free_buffer(wl_shm* shm, Surface* surface, int width, int height) {
    auto& buffers = surface->buffers;
    Buffer* found = nullptr;
    for (size_t i = 0; i < buffers.size();) {
        Buffer* buffer = buffers[i].get();
        if (buffer->lent) {
            i++;
            continue;
        }
        bool fits = !buffer->retired && buffer->width == width && buffer->height == height;
        if (!buffer->busy && !fits) {
            destroy_buffer(buffer);
            buffers.erase(buffers.begin() + static_cast<long>(i));
            continue;
        }
        if (!buffer->busy && found == nullptr) {
            found = buffer;
        }
        i++;
    }
    // Beside the one lent to the layer to draw into.
    const size_t shown = buffers.size() - (surface->lent != nullptr ? 1 : 0);
    if (found != nullptr || shown >= max_buffers) {
        return found;
    }
    auto made = make_buffer(shm, width, height, WL_SHM_FORMAT_XRGB8888);
    if (made == nullptr) {
        return nullptr;
    }
    buffers.push_back(std::move(made));
    return buffers.back().get();
}

void retire_buffers(Surface* surface) {
    auto& buffers = surface->buffers;
    for (size_t i = 0; i < buffers.size();) {
        if (buffers[i]->lent) {
            i++;
        } else if (buffers[i]->busy) {
            buffers[i]->retired = true;
            i++;
        } else {
            destroy_buffer(buffers[i].get());
            buffers.erase(buffers.begin() + static_cast<long>(i));
        }
    }
}

}  // namespace display::wayland
