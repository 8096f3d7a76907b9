// The program's pictures, painted in code: the toolbar's card icons (also
// shown beside the card commands in the menus), the result strip's success
// and failure marks and the About box picture.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace icons {

// 15 x 15 icon of a toolbar command (card commands and the settings command).
QIcon command(int commandId);
// The result strip's marks: a green tick for success, a red cross for errors.
QPixmap resultMark(bool error, int size = 16);
// The About box picture, 65 x 50.
QPixmap aboutPicture();
QIcon application();

}  // namespace icons
