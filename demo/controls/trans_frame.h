// CTransFrm: the painted frame with a caption that the card pages use in
// place of group boxes: an etched grey and white line with a gap for the
// caption, drawn over the view's background. It is a container: a page puts
// the frame's controls in the frame's layout.
#pragma once

#include <QColor>
#include <QWidget>

class CTransFrm : public QWidget {
    Q_OBJECT
public:
    explicit CTransFrm(const QString& caption, QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }
    void setCaptionColor(const QColor& colour);
    const QColor& captionColor() const { return caption_color_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateMargins();

    QString caption_;
    QColor caption_color_{41, 101, 132};
};

// The colour of the pages' labels, buttons and check boxes.
QColor pageTextColour();
// The pages' colour rule: text of labels, buttons, check boxes and radio
// buttons in pageTextColour() over whatever lies beneath; edits and lists
// keep their own colours.
void applyPageColours(QWidget* page);
