// The view: paints the background bands and hosts exactly one card page,
// created for the current card type and destroyed at the next switch. A
// page is centred in the view, or laid over the whole of it (SRI4K and
// Tag-it), in which case it is also told the screen's width. The view
// scrolls when the window is smaller than the page.
#pragma once

#include <QScrollArea>
#include <memory>

#include "pages/page_registry.h"

class BandCanvas;

class CardView : public QScrollArea {
    Q_OBJECT
public:
    CardView(PageContext& context, QWidget* parent = nullptr);
    ~CardView() override;

    // Replaces the hosted page by the page of the current card type.
    void createCardPage();
    CardPage* page() const { return page_.get(); }
    // The card type the hosted page was made for.
    int pageType() const { return page_type_; }

    // The band colour of row i of n (i < n).
    static QColor bandColour(int i, int n);
    // The number of band rows for a view of height h.
    static int bandCount(int height);

signals:
    void pageChanged(CardPage* page);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placePage();

    PageContext& context_;
    BandCanvas* canvas_;
    std::unique_ptr<CardPage> page_;
    int page_type_ = -1;
};
