#pragma once

#include "localization/HelpTopic.h"

#include <QScrollArea>

#include <vector>

class QLabel;

namespace velmora {

// One help topic for reading: its title with the topic's symbol, then its blocks in order, in a
// column of at most readableWidth at the leading edge that scrolls vertically. All text can be
// selected and copied. Key symbols in the texts are shown in this platform's notation.
//
// Thread: main thread only.
class HelpTopicView final : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int readableWidth = 680;

    explicit HelpTopicView(HelpTopic topic, QWidget* parent = nullptr);

    const HelpTopic& topic() const { return topic_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeBlock(const HelpBlock& block, QWidget* parent);
    void refreshColours();

    HelpTopic topic_;
    std::vector<QLabel*> captions_;
};

} // namespace velmora
