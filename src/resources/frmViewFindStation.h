#pragma once

#include "core/LibraryObjects.h"
#include "resources/FindSearch.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QPushButton;
class QStringListModel;
class QTabWidget;

namespace ocable {

struct ViewContext;

// The find dialog ("资源查找"): a station by its name on tab "局站", a cable
// segment by the names of its two end stations on tab "光缆段". Each press of
// "查询" (or Enter in a name box, or F3 on the map while a find is under way)
// locates one hit on the map view that opened it. Typing selects the first
// list entry that begins with the text; a double click on an entry fills the
// name boxes without searching.
//
// The lists are models over the names, so that the 100,000 stations and
// 150,000 cable segments of a national network fill and scroll quickly.
class frmViewFindStation : public QWidget {
    Q_OBJECT
public:
    explicit frmViewFindStation(QWidget* parent = nullptr);

    // Enters the dialog into the view's command table ("mnuFindRes") and its
    // key hooks (Ctrl+F shows it, F3 searches again).
    static void registerCommands(ViewContext& view);
    // Shows the dialog, loaded on first use, modeless above the view.
    static frmViewFindStation& showFor(ViewContext& view);
    static bool loaded();

    // Fills both lists from the database, replacing what they held.
    void Form_Load();

    Q_INVOKABLE void cmdOK_Click();
    Q_INVOKABLE void cmdCancel_Click();

    const find::FindSearch& search() const { return search_; }
    QStringListModel& stationNames() const { return *stationModel_; }
    QStringListModel& cableNames() const { return *cableModel_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void txtStation_Change();
    void txtEnds_Change();
    void lstStation_DblClick(const QModelIndex& index);
    void lstOcable_DblClick(const QModelIndex& index);
    static void selectRow(QListView* list, int row);
    find::FindSearch::Hooks searchHooks();

    ViewContext* view_ = nullptr;
    QPointer<QWidget> viewWindow_; // view_ is valid while its window lives
    find::FindSearch search_;

    QGroupBox* Frame1_;
    QTabWidget* SSTabRes_;
    QLabel* Label1_;
    QLineEdit* txtStation_;
    QListView* lstStation_;
    QLabel* Label2_;
    QLineEdit* txtStart_;
    QFrame* Line1_;
    QLineEdit* txtEnd_;
    QListView* lstOcable_;
    QCheckBox* chkMatch_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    QStringListModel* stationModel_;
    QStringListModel* cableModel_;
    LibraryObjectToken token_;
};

} // namespace ocable
