// Draws the start-up window's picture (540 x 303) and writes it twice: as a PNG file, and as
// a C++ source holding the PNG's bytes, which the program embeds and decodes with libpng.
// Also draws the program's icon from the same art (the sky and the histogram), square.
//
//   zarvex_startup_picture_gen OUT.png OUT.cpp
//   zarvex_startup_picture_gen --icon SIZE OUT.png

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kWidth = 540;
constexpr int kHeight = 303;

struct Rgb {
    int r, g, b;
};

class Canvas {
public:
    Canvas(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height * 3)) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    void Set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return;
        }
        const auto i = static_cast<std::size_t>((y * width_ + x) * 3);
        pixels_[i] = static_cast<std::uint8_t>(c.r);
        pixels_[i + 1] = static_cast<std::uint8_t>(c.g);
        pixels_[i + 2] = static_cast<std::uint8_t>(c.b);
    }
    void Fill(int x, int y, int w, int h, Rgb c) {
        for (int j = y; j < y + h; ++j) {
            for (int i = x; i < x + w; ++i) {
                Set(i, j, c);
            }
        }
    }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    auto lerp = [t](int p, int q) { return static_cast<int>(std::lround(p + (q - p) * t)); };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

// A 5 x 7 face for the few characters the picture writes.
const std::array<std::uint8_t, 7>* Glyph(char c) {
    static const std::array<std::uint8_t, 7> kA{0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11};
    static const std::array<std::uint8_t, 7> kC{0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E};
    static const std::array<std::uint8_t, 7> kE{0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F};
    static const std::array<std::uint8_t, 7> kI{0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E};
    static const std::array<std::uint8_t, 7> kL{0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F};
    static const std::array<std::uint8_t, 7> kN{0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11};
    static const std::array<std::uint8_t, 7> kO{0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E};
    static const std::array<std::uint8_t, 7> kP{0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10};
    static const std::array<std::uint8_t, 7> kR{0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11};
    static const std::array<std::uint8_t, 7> kS{0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E};
    static const std::array<std::uint8_t, 7> kT{0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04};
    static const std::array<std::uint8_t, 7> kV{0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04};
    static const std::array<std::uint8_t, 7> kX{0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11};
    static const std::array<std::uint8_t, 7> kY{0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04};
    static const std::array<std::uint8_t, 7> kZ{0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F};
    static const std::array<std::uint8_t, 7> kB{0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E};
    static const std::array<std::uint8_t, 7> kD{0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E};
    static const std::array<std::uint8_t, 7> kF{0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10};
    static const std::array<std::uint8_t, 7> kG{0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F};
    static const std::array<std::uint8_t, 7> kH{0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11};
    static const std::array<std::uint8_t, 7> kJ{0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C};
    static const std::array<std::uint8_t, 7> kU{0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E};
    static const std::array<std::uint8_t, 7> k1{0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E};
    static const std::array<std::uint8_t, 7> k2{0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F};
    static const std::array<std::uint8_t, 7> k7{0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08};
    static const std::array<std::uint8_t, 7> kDot{0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C};
    switch (c) {
        case 'A':
            return &kA;
        case 'C':
            return &kC;
        case 'E':
            return &kE;
        case 'I':
            return &kI;
        case 'L':
            return &kL;
        case 'N':
            return &kN;
        case 'O':
            return &kO;
        case 'P':
            return &kP;
        case 'R':
            return &kR;
        case 'S':
            return &kS;
        case 'T':
            return &kT;
        case 'V':
            return &kV;
        case 'X':
            return &kX;
        case 'Y':
            return &kY;
        case 'Z':
            return &kZ;
        case 'B':
            return &kB;
        case 'D':
            return &kD;
        case 'F':
            return &kF;
        case 'G':
            return &kG;
        case 'H':
            return &kH;
        case 'J':
            return &kJ;
        case 'U':
            return &kU;
        case '1':
            return &k1;
        case '2':
            return &k2;
        case '7':
            return &k7;
        case '.':
            return &kDot;
        default:
            return nullptr;
    }
}

void Write(Canvas& canvas, int x, int y, int scale, std::string_view text, Rgb colour) {
    for (char c : text) {
        if (const auto* glyph = Glyph(c)) {
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (((*glyph)[static_cast<std::size_t>(row)] >> (4 - col)) & 1) {
                        canvas.Fill(x + col * scale, y + row * scale, scale, scale, colour);
                    }
                }
            }
        }
        x += 6 * scale;
    }
}

const Rgb kTop{22, 44, 78};
const Rgb kMiddle{36, 92, 128};
const Rgb kGold{250, 200, 90};
const Rgb kPut{168, 168, 253};
const Rgb kCall{253, 168, 168};
const Rgb kOverlap{180, 99, 180};

// The CALL and PUT open interest of the bar at t (0 at the top, 1 at the bottom), in pixels of
// the start-up picture: the CALL side peaks high, the PUT side low.
int CallLength(double t) {
    return static_cast<int>(200 * std::exp(-std::pow((t - 0.3) / 0.22, 2))) + 12;
}
int PutLength(double t) {
    return static_cast<int>(170 * std::exp(-std::pow((t - 0.68) / 0.25, 2))) + 10;
}

// One bar of the histogram: the longer side in its colour, their common part in purple.
void Bar(Canvas& canvas, int zero, int y, int thickness, int call, int put) {
    canvas.Fill(zero, y, std::max(call, put), thickness, call > put ? kCall : kPut);
    canvas.Fill(zero, y, std::min(call, put), thickness, kOverlap);
}

void Draw(Canvas& canvas) {
    const Rgb light{236, 242, 247};
    // Dark sky above, light ground below where the progress bar and its text stand.
    for (int y = 0; y < kHeight; ++y) {
        const Rgb row = y < 200 ? Mix(kTop, kMiddle, y / 200.0) : light;
        canvas.Fill(0, y, kWidth, 1, row);
    }
    canvas.Fill(0, 200, kWidth, 3, kGold);

    // A histogram of the program's own kind: CALL and PUT bars from a common zero line,
    // their common part in purple.
    const int zero = 40;
    canvas.Fill(zero - 1, 22, 1, 170, {200, 210, 230});
    for (int i = 0; i < 16; ++i) {
        const double t = i / 15.0;
        Bar(canvas, zero, 28 + i * 10, 5, CallLength(t), PutLength(t));
    }

    Write(canvas, 282, 56, 6, "ZARVEX", {255, 255, 255});
    Write(canvas, 284, 112, 2, "OPTIONS ANALYTICS", kGold);
    Write(canvas, 284, 140, 2, "VER. 2.17", {200, 220, 240});
    Write(canvas, 24, 230, 2, "EUR GBP AUD", {36, 92, 128});
    Write(canvas, 24, 254, 2, "CAD JPY CHF", {36, 92, 128});
}

// The icon: the picture's sky and histogram in a square, with fewer and thicker bars so that
// they still read at 48 pixels.
void DrawIcon(Canvas& canvas) {
    const int size = canvas.Width();
    for (int y = 0; y < size; ++y) {
        canvas.Fill(0, y, size, 1, Mix(kTop, kMiddle, static_cast<double>(y) / size));
    }
    const int bars = 8;
    const int margin = size / 8;
    const int pitch = (size - 2 * margin) / bars;
    const int thickness = std::max(2, pitch * 2 / 3);
    const int zero = margin;
    const int top = (size - pitch * bars) / 2;
    const double longest = 212.0;
    const double room = size - 2 * margin;
    canvas.Fill(zero - std::max(1, size / 64), top - thickness / 2, std::max(1, size / 64),
                pitch * bars, {200, 210, 230});
    for (int i = 0; i < bars; ++i) {
        const double t = i / static_cast<double>(bars - 1);
        const auto scaled = [&](int length) {
            return static_cast<int>(std::lround(length / longest * room));
        };
        Bar(canvas, zero, top + i * pitch, thickness, scaled(CallLength(t)), scaled(PutLength(t)));
    }
    canvas.Fill(0, size - std::max(2, size / 24), size, std::max(2, size / 24), kGold);
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

bool Encode(const Canvas& canvas, std::vector<std::uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendBytes, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.Width()),
                 static_cast<png_uint_32>(canvas.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    const auto& pixels = canvas.Pixels();
    for (int y = 0; y < canvas.Height(); ++y) {
        png_write_row(png, pixels.data() + static_cast<std::size_t>(y * canvas.Width() * 3));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteFile(const char* path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

int WriteIcon(int size, const char* path) {
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "the icon size must be 16 to 1024 pixels\n");
        return 2;
    }
    Canvas canvas(size, size);
    DrawIcon(canvas);
    std::vector<std::uint8_t> bytes;
    return Encode(canvas, bytes) && WriteFile(path, bytes) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--icon") {
        return WriteIcon(std::atoi(argv[2]), argv[3]);
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT.png OUT.cpp | --icon SIZE OUT.png\n", argv[0]);
        return 2;
    }
    Canvas canvas(kWidth, kHeight);
    Draw(canvas);
    std::vector<std::uint8_t> bytes;
    if (!Encode(canvas, bytes)) {
        std::fprintf(stderr, "cannot encode the picture\n");
        return 1;
    }
    const bool png_written = WriteFile(argv[1], bytes);
    std::ofstream source(argv[2]);
    source << "// Generated by zarvex_startup_picture_gen; do not edit.\n"
              "#include \"ui/startup_picture.h\"\n\n"
              "namespace zarvex::ui {\nnamespace {\nconst unsigned char kBytes[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        source << (i % 16 == 0 ? "\n    " : " ") << static_cast<int>(bytes[i]) << ',';
    }
    source << "\n};\n}  // namespace\n\n"
              "std::span<const unsigned char> StartupPictureBytes() { return kBytes; }\n\n"
              "}  // namespace zarvex::ui\n";
    return png_written && source ? 0 : 1;
}
