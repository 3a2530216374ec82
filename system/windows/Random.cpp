#include "system/windows/Random.h"

#include <mutex>
#include <random>

namespace pelko::win32 {

std::string RandomSuffix() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mutex guard;  // builds may run on several threads
    static std::mt19937 generator(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    const std::lock_guard<std::mutex> lock(guard);
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += kLetters[pick(generator)];
    return suffix;
}

}  // namespace pelko::win32
