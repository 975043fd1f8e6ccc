#include "interaction/Measurement.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "interaction/InteractionTexts.h"
#include "platform/db/Value.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/MessageBoxService.h"

#include <QApplication>
#include <QClipboard>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace ocable {

namespace {

// A whole number of kilometres as the length column is read: rounded to the
// nearest, halves to the even neighbour, within 32 bits.
std::int32_t toLong(std::string_view text) {
    const std::optional<double> v = db::parseNumber(text);
    if (!v) throw std::range_error("长度“" + std::string(text) + "”不是数字");
    const double r = std::nearbyint(*v); // the default rounding mode: halves to even
    if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max()))
        throw std::range_error("长度“" + std::string(text) + "”超出范围");
    return static_cast<std::int32_t>(r);
}

std::string withoutKm(std::string text) {
    for (auto at = text.find("KM"); at != std::string::npos; at = text.find("KM", at))
        text.erase(at, 2);
    return text;
}

void putOnClipboard(const std::string& text) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

void showResult(ViewContext& view, const std::string& text) {
    ui::MessageBoxService::instance().show(text, "", ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::None,
                                           ui::MessageBoxService::Answer::OK, view.window);
}

} // namespace

std::int32_t Measurement::segmentLength(const std::string& column1) {
    const std::string t = text::trim(column1);
    if (db::parseNumber(t)) return toLong(t);
    if (t.find(texts::kLengthWord) == std::string::npos) return 0;
    const std::string bare = withoutKm(t);
    const auto colon = bare.find(':');
    return toLong(colon == std::string::npos ? std::string_view() : std::string_view(bare).substr(colon + 1));
}

void Measurement::showCableLength() {
    std::int64_t total = 0;
    int count = 0;
    const bool summed = guarded("统计光缆长度", [&] {
        gis::Map& map = *view_.map;
        for (const char* name : {vocab::kLayerCable, vocab::kLayerBackbone}) {
            const gis::Selection& selection = map.Layers().Item(name).Selection();
            const int n = selection.Count();
            if (n == 0) continue;
            const gis::Dataset& data = map.Datasets().Item(name);
            for (int i = 1; i <= n; ++i) {
                total += segmentLength(data.Value(selection.Item(i), 1));
                // The total is kept in 32 bits and the count in 16, as the
                // message has always shown them; beyond either the command ends.
                if (total > std::numeric_limits<std::int32_t>::max() ||
                    total < std::numeric_limits<std::int32_t>::min())
                    throw std::overflow_error("光缆长度合计超出范围");
                if (++count > std::numeric_limits<std::int16_t>::max())
                    throw std::overflow_error("选中的光缆段太多");
            }
        }
    });
    if (!summed) return;
    if (count == 0) {
        guarded("提示选择光缆段", [] { mPubVar::gobjMessage->showNotice(texts::kNoCableToMeasure); });
        return;
    }
    const std::string totalText = std::to_string(total);
    guarded("显示光缆长度", [&] {
        showResult(view_, std::string("这") + std::to_string(count) + "段光缆的长度为：" + totalText + "km");
    });
    guarded("复制光缆长度", [&] { putOnClipboard(totalText); });
}

void Measurement::showPointDistance() {
    gis::Map& map = *view_.map;
    const gis::Selection& terminal = map.Layers().Item(vocab::kLayerTerminal).Selection();
    const gis::Selection& other = map.Layers().Item(vocab::kLayerOtherStation).Selection();
    const int s1 = terminal.Count(), s2 = other.Count();
    if (s1 + s2 != 2) {
        mPubVar::gobjMessage->showNotice(texts::kNoPointsToMeasure);
        return;
    }
    const gis::Feature a = s1 == 2 ? terminal.Item(1) : s2 == 2 ? other.Item(1) : terminal.Item(1);
    const gis::Feature b = s1 == 2 ? terminal.Item(2) : s2 == 2 ? other.Item(2) : other.Item(1);
    const double d = map.Distance(a.CenterX(), a.CenterY(), b.CenterX(), b.CenterY());
    if (!std::isfinite(d)) throw std::range_error("局站坐标不在地球上，无法计算距离");
    const std::string distance = QString::number(d, 'f', 2).toStdString();
    guarded("显示两点距离", [&] { showResult(view_, "这两点间的直线距离为：" + distance + "km"); });
    guarded("复制两点距离", [&] { putOnClipboard(distance); });
}

} // namespace ocable
