// The four encodings the QR benchmarks measure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct QrBenchCase {
    const char* name;
    std::string text;
    const char* level;
    std::int64_t width;
    std::int32_t height;
};

inline std::string asciiText(std::size_t bytes)
{
    const std::string_view set = "Quillmark label 0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ-_./";
    std::string t;
    for (std::size_t i = 0; i < bytes; ++i)
        t += set[(i * 7) % set.size()];
    return t;
}

inline std::string chineseText(std::size_t bytes)
{
    const char* chars[] = {"仓", "库", "材", "料", "出", "单", "设", "备", "人", "员", "扫", "码", "领", "用"};
    std::string t;
    for (std::size_t i = 0; t.size() + 3 <= bytes; ++i)
        t += chars[i % 14];
    while (t.size() < bytes)
        t += 'a';
    return t;
}

inline const QrBenchCase* qrBenchCases()
{
    static const QrBenchCase cases[] = {
        {"label_R00123_H_50x50", "R00123", "H", 50, 50},
        {"setup_SpecCode18_H_100x100", "%%SpecCode18", "H", 100, 100},
        {"ascii_2953_L_v40_500x500", asciiText(2953), "L", 500, 500},
        {"chinese_1000_H_v36_600x600", chineseText(1000), "H", 600, 600},
    };
    return cases;
}
constexpr int kQrBenchCaseCount = 4;
