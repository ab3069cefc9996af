// The fourth picture: a small ray tracer (see pictures.h). A glossy cyan sphere
// and two small ones on a blue checkerboard, one light with shadows, a reflection
// bounce, 3 x 3 samples per pixel. Cool colours on purpose: the demo later writes a red
// and yellow text over the middle of this picture.
#include "pictures.h"

#include "picture_convert.h"

#include <algorithm>
#include <cmath>

namespace {

struct Vec {
    double x, y, z;
    Vec operator+(Vec o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec operator-(Vec o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec operator*(double k) const { return {x * k, y * k, z * k}; }
    Vec operator*(Vec o) const { return {x * o.x, y * o.y, z * o.z}; }
    double dot(Vec o) const { return x * o.x + y * o.y + z * o.z; }
    Vec unit() const { return *this * (1.0 / std::sqrt(dot(*this))); }
};

struct Sphere {
    Vec centre;
    double radius;
    Vec colour;
    double reflect;
};

const Sphere spheres[] = {
    {{0.0, 1.1, 0.0}, 1.1, {0.0, 1.0, 1.0}, 0.15},
    {{-1.9, 0.45, -0.9}, 0.45, {1.0, 0.0, 1.0}, 0.1},
    {{1.7, 0.55, -1.2}, 0.55, {0.8, 0.8, 0.8}, 0.1},
};
const Vec lightDir = Vec{-0.6, 1.0, -0.5}.unit();

struct Hit {
    double t = 1e30;
    Vec normal{0, 0, 0};
    Vec colour{0, 0, 0};
    double reflect = 0.0;
};

bool intersect(Vec origin, Vec dir, Hit& hit) {
    bool any = false;
    for (const Sphere& s : spheres) {
        const Vec oc = origin - s.centre;
        const double b = oc.dot(dir), c = oc.dot(oc) - s.radius * s.radius, d = b * b - c;
        if (d < 0) continue;
        const double t = -b - std::sqrt(d);
        if (t > 1e-4 && t < hit.t) {
            hit.t = t;
            hit.normal = (origin + dir * t - s.centre).unit();
            hit.colour = s.colour;
            hit.reflect = s.reflect;
            any = true;
        }
    }
    if (dir.y < -1e-9) {
        const double t = -origin.y / dir.y;
        if (t > 1e-4 && t < hit.t) {
            const Vec p = origin + dir * t;
            const bool odd = (static_cast<int>(std::floor(p.x)) + static_cast<int>(std::floor(p.z))) & 1;
            hit.t = t;
            hit.normal = {0, 1, 0};
            // Fade the tiles into the distance so the far floor does not shimmer.
            const double fade = std::exp(-std::max(0.0, t - 5.0) * 0.25);
            hit.colour = odd ? Vec{0.0, 0.75, 0.75} * fade : Vec{0.0, 0.0, 0.4} * fade;
            hit.reflect = 0.0;
            any = true;
        }
    }
    return any;
}

Vec sky(Vec dir) {
    const double t = std::clamp(dir.y * 2.5, 0.0, 1.0);
    return Vec{0.0, 0.0, 0.5} * (1.0 - t) + Vec{0.0, 0.0, 0.0} * t;
}

Vec trace(Vec origin, Vec dir, int depth) {
    Hit hit;
    if (!intersect(origin, dir, hit)) return sky(dir);
    const Vec p = origin + dir * hit.t;
    Hit shadow;
    const bool shaded = intersect(p + hit.normal * 1e-3, lightDir, shadow);
    const double diffuse = shaded ? 0.0 : std::max(0.0, hit.normal.dot(lightDir));
    const Vec reflected = dir - hit.normal * (2.0 * dir.dot(hit.normal));
    const double specular = shaded ? 0.0 : std::pow(std::max(0.0, reflected.dot(lightDir)), 40.0);
    Vec c = hit.colour * (0.25 + 0.9 * diffuse) + Vec{1, 1, 1} * specular;
    if (depth > 0 && hit.reflect > 0.0)
        c = c * (1.0 - hit.reflect) + trace(p + hit.normal * 1e-3, reflected, depth - 1) * hit.reflect;
    return c;
}

}  // namespace

std::vector<uint8_t> makeRaytracedPicture() {
    FloatImage img(pictureW, pictureH);
    const Vec eye{0.0, 3.2, -5.6};
    const Vec forward = (Vec{0.0, 0.7, 0.0} - eye).unit();
    const Vec right = Vec{forward.z, 0.0, -forward.x}.unit();
    Vec up{right.y * forward.z - right.z * forward.y, right.z * forward.x - right.x * forward.z,
           right.x * forward.y - right.y * forward.x};
    if (up.y < 0.0) up = up * -1.0;
    const double scale = 0.62 / (pictureH / 2.0);  // half the vertical view spans 0.62
    const int n = 3;
    for (int y = 0; y < pictureH; ++y)
        for (int x = 0; x < pictureW; ++x) {
            Vec sum{0, 0, 0};
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx) {
                    const double u = (x + (sx + 0.5) / n - pictureW / 2.0) * scale;
                    const double v = (pictureH / 2.0 - y - (sy + 0.5) / n) * scale;
                    sum = sum + trace(eye, (forward + right * u + up * v).unit(), 2);
                }
            sum = sum * (1.0 / (n * n));
            float* p = img.at(x, y);
            p[0] = static_cast<float>(sum.x);
            p[1] = static_cast<float>(sum.y);
            p[2] = static_cast<float>(sum.z);
        }
    // Blues, cyans, magenta and white only: no greens or browns in the shading patterns.
    return toPicture(img, true, {0, 1, 3, 5, 7, 11, 13, 15});
}
