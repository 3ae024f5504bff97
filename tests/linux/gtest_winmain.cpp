// GoogleTest's entry for programs linked with the real platform layer: the layer
// owns main() and hands over to WinMain with the arguments as one command line,
// which is split back here by the rules the layer quoted it with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/platform/platform.h"
#include "shell/platform/sdl/text.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    std::vector<std::string> words = sdlLayer::splitCommandLine(commandLine);
    words.insert(words.begin(), "test");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);
    testing::InitGoogleTest(&argc, argv.data());
    return RUN_ALL_TESTS();
}
