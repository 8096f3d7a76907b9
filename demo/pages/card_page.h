// The interface of a card page: a widget built on a PageContext, created by
// the view when its card type is chosen and destroyed at the next switch.
// A page is one small class with its form (see docs/torvik-pages.md).
#pragma once

#include <QWidget>
#include <memory>

#include "pages/page_context.h"

class CardPage : public QWidget {
    Q_OBJECT
public:
    // Applies the pages' colour rule (labels, buttons and check boxes in
    // RGB(41, 101, 132) over the view's background; edits and lists keep
    // their own colours).
    explicit CardPage(PageContext& context, QWidget* parent = nullptr);
    ~CardPage() override;

    // Pages laid over the whole view (SRI4K, Tag-it) are told the screen's
    // horizontal resolution after the view has sized them.
    virtual void layoutForScreen(int screenWidth);

protected:
    PageContext& ctx;
};

using PageFactory = std::unique_ptr<CardPage> (*)(PageContext&);

// Defines the factory a registry row names: TORVIK_PAGE_FACTORY(makeMifareOnePage, MIFAREONE)
#define TORVIK_PAGE_FACTORY(factory, PageClass)                      \
    std::unique_ptr<CardPage> factory(PageContext& context) {        \
        return std::make_unique<PageClass>(context);                 \
    }
