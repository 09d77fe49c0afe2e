#pragma once
// Shortcut codes, their text form and the conversions between them.
//
// A code carries a virtual-key code in bits 0-7 and the modifiers Win (0x1000),
// Shift (0x2000), Ctrl (0x4000) and Alt (0x8000); 0 means no shortcut. The text
// form ("WIN + CTRL + A") is what items and the settings file hold; the key's
// name in it comes from the keyboard layout.
//
// These belong to the hot-key unit, Hotkey/HookHotKey.h, which declares them
// with its registrar. They live in a header of their own because they need no
// Windows: the settings and item logic use them in code that is built and
// tested natively.
#include <cstdint>
#include <initializer_list>
#include <string>

using ShortCutCode = std::uint16_t;

// Members of the modifier set; member i is bit i of the set's byte.
enum class ShiftKey : std::uint8_t { Shift, Alt, Ctrl, Left, Right, Middle, Double, Win };

// The modifier set beside a code, kept in one byte. Left, Right, Middle and
// Double name mouse buttons and the double click: no code bit belongs to them.
class ShiftKeys {
public:
    constexpr ShiftKeys() = default;
    constexpr ShiftKeys(std::initializer_list<ShiftKey> members) {
        for (ShiftKey m : members) FBits = static_cast<std::uint8_t>(FBits | Bit(m));
    }
    static constexpr ShiftKeys FromBits(std::uint8_t bits) {
        ShiftKeys s;
        s.FBits = bits;
        return s;
    }

    constexpr std::uint8_t Bits() const { return FBits; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool Contains(ShiftKey m) const { return (FBits & Bit(m)) != 0; }
    ShiftKeys& Include(ShiftKey m) {
        FBits = static_cast<std::uint8_t>(FBits | Bit(m));
        return *this;
    }
    ShiftKeys& Exclude(ShiftKey m) {
        FBits = static_cast<std::uint8_t>(FBits & ~Bit(m));
        return *this;
    }

    friend constexpr bool operator==(ShiftKeys a, ShiftKeys b) { return a.FBits == b.FBits; }
    friend constexpr bool operator!=(ShiftKeys a, ShiftKeys b) { return a.FBits != b.FBits; }

private:
    static constexpr std::uint8_t Bit(ShiftKey m) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(m));
    }
    std::uint8_t FBits = 0;
};

static_assert(sizeof(ShiftKeys) == 1, "the modifier set is one byte");

// The words of the modifier set in member order, as the text form writes them.
inline constexpr const char* ShiftNames[8] = {"SHIFT", "ALT",    "CTRL",   "LEFT",
                                              "RIGHT", "MIDDLE", "DOUBLE", "WIN"};

// 0 when the key does not fit in eight bits; the modifiers go with it.
ShortCutCode MakeShortCut(std::uint16_t key, ShiftKeys shift);
// The key is the low twelve bits of the code, so stray bits 8-11 stay visible.
void SplitShortCut(ShortCutCode code, std::uint16_t& key, ShiftKeys& shift);
// "WIN + ALT + CTRL + SHIFT + <key name>"; empty when the key has no name.
std::string ShortCutToText(ShortCutCode code);
// Reads modifier words anywhere and in any case, and the key by its name.
// A text whose key part names no key gives 0.
ShortCutCode TextToShortCut(const std::string& text);

// Where key names come from: the keyboard layout under Windows, a US layout
// elsewhere.
class TKeyNames {
public:
    virtual ~TKeyNames() = default;
    // The layout's name of the key with this virtual-key code, or empty.
    virtual std::string KeyName(std::uint8_t vk) const = 0;
    // Stands for the layout the names come from: the conversions keep the
    // names they asked for until it changes.
    virtual std::uintptr_t Layout() const { return 0; }
};

// The key names in force: the platform's unless a test put others in place.
const TKeyNames& KeyNames();
// Puts key names in place (nullptr restores the platform's); for tests.
void SetKeyNames(const TKeyNames* names);

// The names a US keyboard layout gives, as the platform's key-name request
// answers them (the request carries no extended-key bit, so the cursor keys
// answer with their keypad twins' names).
class TNativeKeyNames : public TKeyNames {
public:
    std::string KeyName(std::uint8_t vk) const override;
};
