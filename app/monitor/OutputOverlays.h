#pragma once

#include "core/session/Session.h"
#include "core/support/Published.h"

#include <QWidget>

#include <vector>

namespace velmora {

class DisplayModeBadge;
class EmptyOutputView;
class NoticeBanner;

// What lies over the output text: the empty-state panel, the notices at the top (garbled data,
// nothing received yet) and the display-mode badge at the top right. It holds no state of its
// own: every decision is recomputed from the session's published values.
//
// It covers the text area it is given (tracking that widget's geometry) but takes mouse and
// wheel events only where one of its parts is drawn; elsewhere they reach the text.
//
// Thread: main thread. The session and the text area must outlive it.
class OutputOverlays final : public QWidget {
    Q_OBJECT
public:
    OutputOverlays(Session& model, QWidget* textArea);

    EmptyOutputView* emptyView() const { return emptyView_; }
    NoticeBanner* garbageBanner() const { return garbageBanner_; }
    NoticeBanner* noDataBanner() const { return noDataBanner_; }
    DisplayModeBadge* badge() const { return badge_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void refreshGarbageActions();
    void refreshTints();
    void followTextArea();
    void updateMask();

    Session& model_;
    QWidget* textArea_;
    std::vector<Subscription> subscriptions_;
    EmptyOutputView* emptyView_ = nullptr;
    NoticeBanner* garbageBanner_ = nullptr;
    NoticeBanner* noDataBanner_ = nullptr;
    DisplayModeBadge* badge_ = nullptr;
};

} // namespace velmora
