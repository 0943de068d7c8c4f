// Every seed of one fuzz target through its model, without libFuzzer, so the
// builds that do not fuzz still run the models. A mismatch aborts, naming
// the seed it came from.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> seed_paths() {
    std::vector<std::string> paths;
    DIR* folder = opendir(SORVANE_SEED_FOLDER);
    if (folder == nullptr) {
        return paths;
    }
    for (dirent* entry = readdir(folder); entry != nullptr; entry = readdir(folder)) {
        if (entry->d_name[0] != '.') {
            paths.push_back(std::string(SORVANE_SEED_FOLDER) + "/" + entry->d_name);
        }
    }
    closedir(folder);
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(FuzzSeeds, EverySeedAgreesWithTheModel) {
    const std::vector<std::string> paths = seed_paths();
    ASSERT_FALSE(paths.empty()) << "no seeds in " << SORVANE_SEED_FOLDER;
    std::vector<std::string> seeds;
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in.good()) << path;
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The target enters a folder of its own: the seeds are read before.
    LLVMFuzzerInitialize(nullptr, nullptr);
    for (size_t i = 0; i < seeds.size(); ++i) {
        fprintf(stderr, "seed %s\n", paths[i].c_str());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seeds[i].data()), seeds[i].size()), 0)
            << paths[i];
    }
}

}  // namespace
