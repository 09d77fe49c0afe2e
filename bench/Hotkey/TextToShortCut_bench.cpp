// Time of one shortcut text conversion with the key names of the platform in
// force (the keyboard layout under Windows). A stored item's text is converted
// once when the settings are loaded, so this times the start with many items.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Hotkey/ShortCut.h"

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds per call of f, over enough calls to last about a quarter second.
template <typename F>
double MicrosecondsPerCall(F&& f) {
    long calls = 1;
    for (;;) {
        const Clock::time_point start = Clock::now();
        for (long i = 0; i < calls; ++i) f();
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (us >= 250000.0 || calls >= (1L << 24)) return us / static_cast<double>(calls);
        calls *= 2;
    }
}

volatile unsigned sink;

}  // namespace

int main() {
    // The first code whose key matches decides how many names are asked for:
    // "WIN + A" stops at 0x41, a name that matches nothing asks for all 590.
    const char* const texts[] = {"WIN + A", "WIN + F12", "ctrl + shift + f5", "WIN + NO SUCH KEY"};
    for (const char* text : texts) {
        const ShortCutCode code = TextToShortCut(text);
        const double us = MicrosecondsPerCall([&] { sink = sink + TextToShortCut(text); });
        std::printf("TextToShortCut(\"%s\") = 0x%04X: %.1f us\n", text, code, us);
    }
    const double lookup = MicrosecondsPerCall([] {
        for (unsigned vk = 0; vk < 256; ++vk) sink = sink + static_cast<unsigned>(KeyNames().KeyName(static_cast<std::uint8_t>(vk)).size());
    }) / 256.0;
    std::printf("one key-name look-up: %.3f us\n", lookup);
    const double stored = MicrosecondsPerCall([] {
        for (unsigned i = 0; i < 26; ++i) {
            const std::string text = ShortCutToText(static_cast<ShortCutCode>(0x1041 + i));
            sink = sink + TextToShortCut(text);
        }
    }) / 26.0;
    std::printf("WIN + A ... WIN + Z, mean: %.1f us per conversion\n", stored);
    return sink == 0xFFFFFFFFu ? EXIT_FAILURE : EXIT_SUCCESS;
}
