#pragma once

#include <QImage>
#include <QString>

// The images around the test pictures: the main window's background, the no-photo bitmap and
// two sample photos of the sibling program, the protocol's logo and formula images, and the
// program icon.
namespace Artwork {

QImage background();             // 1366 x 768
QImage noPhoto();                // 102 x 126, "nincs fénykép"
QImage samplePhoto(int variant); // a drawn portrait, 0 or 1
QImage logo();                   // protocol head
QImage icon(int size);           // square program icon

// One formula image of the protocol's tables: "fel_<n>" (1-6) or "rau_<n>" (1-5).
QImage formula(const QString& name);
// Names of the eleven formula images, without extension.
QStringList formulaNames();

} // namespace Artwork
