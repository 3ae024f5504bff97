#include "bench/planet_points.h"

#include <algorithm>
#include <cmath>

std::vector<Vec3> planetOctavePoints() {
    const Vec3 frames[6][3] = {
        {{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, -1, 0}, {0, 0, 1}, {1, 0, 0}},
        {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},  {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    };
    const float factors[6] = {1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f};
    std::vector<Vec3> points;
    points.reserve(6 * 203 * 203 * 6);
    for (const auto& f : frames) {
        for (int i = 0; i < 203; ++i) {
            for (int j = 0; j < 203; ++j) {
                const float u = static_cast<float>(std::clamp(i - 101, -100, 100));
                const float w = static_cast<float>(std::clamp(j - 101, -100, 100));
                const float d = static_cast<float>(100 - (i == 0 || i == 202) - (j == 0 || j == 202));
                const Vec3 p = {d * f[0].x + u * f[1].x + w * f[2].x, d * f[0].y + u * f[1].y + w * f[2].y,
                                d * f[0].z + u * f[1].z + w * f[2].z};
                const float inverse = 1.0f / std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
                const Vec3 base = {p.x * inverse * 150.0f, p.y * inverse * 150.0f, p.z * inverse * 150.0f};
                for (float k : factors) points.push_back({base.x * k, base.y * k, base.z * k});
            }
        }
    }
    return points;
}
