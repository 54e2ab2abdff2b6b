#include "app/cli/density_output.h"

#include <array>
#include <charconv>
#include <iterator>

#include "app/cli/json_writer.h"

namespace zarvex::cli {

namespace {

constexpr std::array<const char*, analytics::kDensityQuantiles.size()> kQuantileKeys{
    "q05", "q25", "q50", "q75", "q95"};

std::string Exact(double value) {
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), value);
    return std::string(text, result.ptr);
}

}  // namespace

std::string DensityJson(const analytics::SettlementDensity& density) {
    JsonWriter json;
    json.BeginObject();
    json.Key("grid").NumberArray(density.grid);
    json.Key("density").NumberArray(density.density);
    json.Key("negative").Int(density.negative);
    json.Key("mass_inside")
        .Optional(density.ready ? std::optional<double>(density.mass_inside) : std::nullopt);
    json.Key("quantiles").BeginObject();
    for (std::size_t q = 0; q < kQuantileKeys.size(); ++q) {
        json.Key(kQuantileKeys[q]).Optional(density.quantiles[q]);
    }
    json.EndObject();
    json.EndObject();
    return json.Text();
}

std::string DensityCsv(const analytics::SettlementDensity& density) {
    std::string out = "strike,density\r\n";
    for (std::size_t i = 0; i < density.density.size(); ++i) {
        out += Exact(density.grid[i + 1]) + "," + Exact(density.density[i]) + "\r\n";
    }
    return out;
}

}  // namespace zarvex::cli
