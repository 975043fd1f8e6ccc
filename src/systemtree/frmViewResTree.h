#pragma once

#include "core/LibraryObjects.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QTabWidget;

namespace ocable {

namespace ui {
class CheckTreeView;
}

// The tree window ("资源树") docked in band "frmResTree" of the active map
// view: tab "资源" with a copy of the view's resource tree, tab "子网" with
// the transmission-system tree of the division rule on show.
class frmViewResTree : public QWidget {
    Q_OBJECT
public:
    explicit frmViewResTree(QWidget* parent = nullptr);

    QTabWidget* SSTabTree() const { return tabs_; }
    ui::CheckTreeView* TreeRes() const { return treeRes_; }
    ui::CheckTreeView* TreeSystem() const { return treeSystem_; }
    QComboBox* cmbRoom() const { return cmbRoom_; }
    QComboBox* CobSubNetPart() const { return cobSubNetPart_; }

    QString curRuleName;
    bool isModified = false;
    bool isNewRule = false;

    // Whether a tree repaints as it changes; a view switches it off while
    // it refills the tree and on to show it.
    static void setDisplaySwitch(ui::CheckTreeView* tree, bool on);
    void setSystemTabVisible(bool visible);
    bool systemTabVisible() const;

    // Offers to save pending edits of the rule on show.
    Q_INVOKABLE void saveWhenUnload();
    Q_INVOKABLE void deleteOneMethod(const QString&) {}
    Q_INVOKABLE void getMethodKeyByName(const QString&) {}

    static frmViewResTree& instance();
    static bool loaded();
    static void unload();

private:
    QTabWidget* tabs_;
    ui::CheckTreeView* treeRes_;
    ui::CheckTreeView* treeSystem_;
    QComboBox* cmbRoom_;
    QComboBox* cobSubNetPart_;
    LibraryObjectToken token_;
};

} // namespace ocable
