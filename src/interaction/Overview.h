#pragma once

class QObject;

namespace ocable {

struct ViewContext;

// The overview map Map2 ("雷达图"): after every view change of Map1 it
// outlines what Map1 shows, and a click on it centres Map1 there.
class Overview {
public:
    explicit Overview(ViewContext& view) : view_(view) {}

    // Follows Map1's view changes and Map2's clicks. Map2 gets a custom point
    // tool of its own so that a click there selects nothing.
    void connectSignals(QObject* context);

    // Rebuilds layer "wewew" at the top of Map2 over its one base layer:
    // the part of Map1's bounds inside Map2's, and Map2's own frame.
    void updateOverview();
    // Centres Map1 on the clicked point of Map2 at unchanged scale.
    void overviewClick(int button, int shift, double x, double y);

private:
    ViewContext& view_;
};

} // namespace ocable
