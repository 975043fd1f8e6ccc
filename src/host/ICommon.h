#pragma once

#include "host/HostObject.h"

#include <QImage>
#include <filesystem>
#include <string>
#include <string_view>

class QWidget;

namespace ocable::ui {
class KeyedTree;
}

namespace ocable::host {

// The host's common utilities.
class ICommon : public virtual HostObject {
public:
    virtual bool fileExists(const std::filesystem::path& path) = 0;
    // Field at a 1-based position of a delimited text; empty when out of range.
    virtual std::string getField(std::string_view text, std::string_view delimiter, int position) = 0;
    // A null image when the picture cannot be loaded.
    virtual QImage loadPicture(const std::string& fileName, const std::filesystem::path& folder) = 0;
    // Adds a node (an empty parent key makes a root) and returns its key.
    virtual std::string addTreeNode(ui::KeyedTree& tree, const std::string& parentKey, const std::string& key,
                                    const std::string& text) = 0;
    virtual bool nodeKeyExists(const ui::KeyedTree& tree, const std::string& key) = 0;
    // Gives the node and every descendant the same check state.
    virtual void setNodeChecked(ui::KeyedTree& tree, const std::string& nodeKey, bool checked) = 0;
    // The host window in which a window of the plug-in is docked, or null.
    virtual QWidget* hostWindowOf(QWidget* window) = 0;
    virtual void writeOperationLog(const std::string& code, const std::string& description,
                                   const std::string& objectKey, int level, const std::string& extra1,
                                   const std::string& extra2) = 0;
};

} // namespace ocable::host
