// The result strip every page writes into: a mark (success or failure) and
// a blue text on the button face. It keeps its text until the next result,
// so a repaint never loses what a tester needs to read. Failures beep.
#pragma once

#include <QLabel>

class ResultStrip : public QLabel {
    Q_OBJECT
public:
    explicit ResultStrip(int language, QWidget* parent = nullptr);

    // ShowResult: status 0 is " 操作成功 ,函数: label", or "操作成功"
    // without a label; any other status "Error: <status in hex> ,函数: label".
    void showResult(int status, const QString& label = QString());
    // ShowError: "Error: text", with the failure mark and a beep.
    void showError(const QString& text);
    // ShowInfo: the text as is, with the success mark.
    void showInfo(const QString& text);

    bool showsError() const { return error_; }
    static QString resultText(int status, const QString& label, int language);
    // What a reader status means ("10: authentication failed"), for the
    // strip's tip; empty for 0 and for codes the reader never sends.
    static QString statusMeaning(int status);

signals:
    // After each result: its text and whether it is a failure (with beep).
    void shown(const QString& text, bool error);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    void present(const QString& text, bool error);

    int language_;
    bool error_ = false;
    bool has_result_ = false;
};
