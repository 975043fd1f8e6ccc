#include "Scale.h"

#include "Network.h"

#include <algorithm>
#include <cmath>

namespace ocable::demo {

std::optional<Scale> parseScale(const std::string& text) {
    if (text == "small") return Scale::Small;
    if (text == "province") return Scale::Province;
    if (text == "national") return Scale::National;
    return std::nullopt;
}

const char* scaleName(Scale scale) {
    switch (scale) {
    case Scale::Small:
        return "small";
    case Scale::Province:
        return "province";
    case Scale::National:
        return "national";
    }
    return "?";
}

namespace {

// A city's size, judged by how many districts and counties it governs.
double cityWeight(const City& city, bool capital) {
    double w = std::max<std::size_t>(city.districts.size(), 1);
    if (capital) w *= 2.0;
    return w;
}

// Spreads total over the weights, each share at least minimum, by largest remainders.
std::vector<int> apportion(const std::vector<double>& weights, int total, int minimum) {
    std::vector<int> counts(weights.size(), minimum);
    int left = total - minimum * static_cast<int>(weights.size());
    if (left <= 0) return counts;
    double sum = 0;
    for (double w : weights)
        sum += w;
    std::vector<std::pair<double, std::size_t>> remainders;
    int given = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        const double exact = left * weights[i] / sum;
        const int whole = static_cast<int>(std::floor(exact));
        counts[i] += whole;
        given += whole;
        remainders.push_back({exact - whole, i});
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& x, const auto& y) { return x.first > y.first; });
    for (int k = 0; k < left - given; ++k)
        ++counts[remainders[static_cast<std::size_t>(k)].second];
    return counts;
}

} // namespace

std::vector<int> stationsPerCity(const BaseMap& map, Scale scale) {
    std::vector<int> counts(map.cities.size(), 0);
    for (const Province& p : map.provinces) {
        if (p.cities.empty() || p.gbcode == "710000") continue; // the carrier has no network in Taiwan
        const bool home = p.regionCode == kHomeProvince;
        const bool sar = p.gbcode == "810000" || p.gbcode == "820000";
        const std::size_t capital = p.cities.front();
        std::vector<double> weights;
        for (std::size_t c : p.cities)
            weights.push_back(cityWeight(map.cities[c], c == capital));
        if (scale == Scale::National) {
            continue; // apportioned over the whole country below
        }
        if (home) {
            const int total = scale == Scale::Small ? 160 : 4500;
            const auto share = apportion(weights, total, 4);
            for (std::size_t i = 0; i < p.cities.size(); ++i)
                counts[p.cities[i]] = share[i];
        } else {
            counts[capital] = scale == Scale::Small ? 4 : (sar ? 6 : 15);
        }
    }
    if (scale == Scale::National) {
        std::vector<double> weights(map.cities.size(), 0.0);
        for (const Province& p : map.provinces) {
            if (p.cities.empty() || p.gbcode == "710000") continue;
            const bool home = p.regionCode == kHomeProvince;
            const bool sar = p.gbcode == "810000" || p.gbcode == "820000";
            for (std::size_t c : p.cities) {
                double w = cityWeight(map.cities[c], c == p.cities.front());
                if (home) w *= 1.5;
                if (sar) w *= 0.1;
                weights[c] = w;
            }
        }
        std::vector<double> active;
        std::vector<std::size_t> index;
        for (std::size_t i = 0; i < weights.size(); ++i)
            if (weights[i] > 0) {
                active.push_back(weights[i]);
                index.push_back(i);
            }
        const auto share = apportion(active, 100000, 8);
        for (std::size_t i = 0; i < index.size(); ++i)
            counts[index[i]] = share[i];
    }
    return counts;
}

} // namespace ocable::demo
