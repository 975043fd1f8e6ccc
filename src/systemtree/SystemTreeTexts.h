#pragma once

// Texts and names of the transmission-system tree and its rule editor, in one
// place because the tree builder, the editor and the route display share them.
namespace ocable::systemtree::texts {

// Node tags as stored in RE_TREE_STRUCT.IS_DELETE.
inline constexpr const char* kTagSystem = "NO"; // the root and every system node
inline constexpr const char* kTagGroup = "YES"; // a grouping node a user added
// PARENTKEY of a root row.
inline constexpr const char* kNoParent = "NULL";
// Rows whose text contains this are local systems, left out of every tree.
inline constexpr const char* kLocalMark = "本地";

inline constexpr const char* kSystemTable = "TRANSSYSTEM";
inline constexpr const char* kPropertyBand = "frmProperty";
inline constexpr const char* kToolbar = "toolbar";
inline constexpr const char* kPropertyTool = "mnu_view_Property";

inline constexpr const char* kNoObjectCode = "对象编号为空！";
inline constexpr const char* kSummaryGroup = "划分方法";
inline constexpr const char* kSummaryCount = "传输系统个数";

} // namespace ocable::systemtree::texts
