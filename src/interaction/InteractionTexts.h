#pragma once

// What the map interaction says to the user, in one place.
namespace ocable::texts {

inline constexpr const char* kInfoTitle = "信息提示";
inline constexpr const char* kWarningTitle = "提示信息";
inline constexpr const char* kSaveTitle = "保存提示";
inline constexpr const char* kStationNotFound = "该局站不存在！";
inline constexpr const char* kCableNotFound = "该光缆段没有找到";
inline constexpr const char* kStationRoomLater = "稍后提供";
// "局站“" + name + "”位置已经改变,确定要保存吗？"
inline constexpr const char* kSaveQuestionHead = "局站“";
inline constexpr const char* kSaveQuestionTail = "”位置已经改变,确定要保存吗？";

// The coordinate dialog.
inline constexpr const char* kPointCaption = "局站位置调整";
inline constexpr const char* kPointFrame = "局站经纬度";
inline constexpr const char* kPointFrameHead = "局站（";
inline constexpr const char* kPointFrameTail = "）的经纬度：";
inline constexpr const char* kBadLongitude = "经度必须是 -180 到 180 之间的数字！";
inline constexpr const char* kBadLatitude = "纬度必须是 -90 到 90 之间的数字！";
inline constexpr const char* kNoStationForPoint = "请先选择一个局站！";

// Measuring.
inline constexpr const char* kLengthWord = "长度";
inline constexpr const char* kNoCableToMeasure = "请选择要统计长度的光缆段！";
inline constexpr const char* kNoPointsToMeasure = "请选择要计算长度的两个点！";

} // namespace ocable::texts
