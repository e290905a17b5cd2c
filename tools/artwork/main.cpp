// Draws every image and icon the program compiles in and writes them into the source tree,
// so the artwork can be rebuilt from code and reviewed as a diff of the generator.
#include "chromebuttons.h"
#include "contactsheet.h"
#include "logo.h"
#include "panelicons.h"
#include "preview.h"
#include "sliderart.h"
#include "splash.h"
#include "surfaces.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPair>
#include <cstdio>
#include <functional>

namespace {

struct Artwork
{
    QString path;
    std::function<QImage()> draw;
};

void addChromeButtons(QList<Artwork> &artworks, const QString &base, ChromeGlyph glyph, bool lit)
{
    const QPair<QString, ButtonState> states[] = {
        {QStringLiteral(".png"), ButtonState::Normal},
        {QStringLiteral("_down.png"), ButtonState::Down},
        {QStringLiteral("_hover.png"), ButtonState::Hover}};
    for (const auto &state : states) {
        const ButtonState look = state.second;
        artworks.append({QStringLiteral("resources/") + base + state.first,
                         [glyph, lit, look] { return chromeButton(glyph, lit, look); }});
    }
}

QList<Artwork> allArtworks()
{
    QList<Artwork> artworks = {
        {QStringLiteral("resources/metal.jpg"), metalSurface},
        {QStringLiteral("resources/stainless-steel.jpg"), stainlessSteelSurface},
        {QStringLiteral("resources/SplashScreen.png"), splashPicture},
    };
    // The desktop's icon theme takes the product icon in these sizes; the program compiles in
    // 16 and 512 only.
    for (const int size : {16, 32, 48, 64, 128, 256, 512})
        artworks.append({QStringLiteral("icons/IconMarlowinPro%1.png").arg(size),
                         [size] { return productIcon(size); }});
    addChromeButtons(artworks, QStringLiteral("btn_on"), ChromeGlyph::Power, true);
    addChromeButtons(artworks, QStringLiteral("btn_close"), ChromeGlyph::Close, false);
    addChromeButtons(artworks, QStringLiteral("btn_minimize"), ChromeGlyph::Minimize, false);
    addChromeButtons(artworks, QStringLiteral("btn_minimize_on"), ChromeGlyph::Minimize, true);
    addChromeButtons(artworks, QStringLiteral("btn_help"), ChromeGlyph::Help, false);
    artworks += {
        {QStringLiteral("resources/watchbuttonclose.png"), watchCloseIcon},
        {QStringLiteral("resources/watchbuttonexportdata.png"), watchExportDataIcon},
        {QStringLiteral("resources/watchbuttonexport.png"), watchExportImageIcon},
        {QStringLiteral("resources/watchbuttonbutton.png"), watchButtonsIndicator},
        {QStringLiteral("resources/ActiveSliderBackground.png"), activeSliderHalo},
        {QStringLiteral("resources/btnScan1D.png"), scanKey},
        {QStringLiteral("resources/btnSliderSettings.png"), settingsKey},
        {QStringLiteral("resources/slider_xz_x.png"), [] { return planeAxisMark(GraphAxis::X); }},
        {QStringLiteral("resources/slider_xz_z.png"), [] { return planeAxisMark(GraphAxis::Z); }},
        {QStringLiteral("resources/slider_xyz_x.png"), [] { return spaceAxisMark(GraphAxis::X); }},
        {QStringLiteral("resources/slider_xyz_y.png"), [] { return spaceAxisMark(GraphAxis::Y); }},
        {QStringLiteral("resources/slider_xyz_z.png"), [] { return spaceAxisMark(GraphAxis::Z); }},
        {QStringLiteral("resources/img_small_graph.png"), smallGraphIcon},
        {QStringLiteral("resources/img_big_graph.png"), bigGraphIcon},
    };
    return artworks;
}

bool write(const QImage &image, const QString &path)
{
    if (path.endsWith(QStringLiteral(".jpg")))
        return image.save(path, "JPG", 92);
    return image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG");
}

bool writeSheet(QList<QPair<QString, QImage>> drawn, const QString &path)
{
    QMap<QString, QImage> byName;
    for (const auto &entry : drawn)
        byName.insert(entry.first, entry.second);
    drawn.prepend({QStringLiteral("splash as shown"), splashPreview(byName)});
    drawn.prepend({QStringLiteral("window preview"), windowPreview(byName)});
    return contactSheet(drawn, stainlessSteelSurface()).save(path);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 2 && !(arguments.size() == 4 && arguments.at(2) == "--sheet")) {
        std::fprintf(stderr, "usage: artwork <source-root> [--sheet <contact-sheet.png>]\n");
        return 2;
    }
    const QDir root(arguments.at(1));
    QList<QPair<QString, QImage>> drawn;
    for (const Artwork &artwork : allArtworks()) {
        const QImage image = artwork.draw();
        const QString path = root.filePath(artwork.path);
        if (!write(image, path)) {
            std::fprintf(stderr, "artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s %dx%d\n", qPrintable(artwork.path), image.width(), image.height());
        drawn.append({artwork.path.section('/', -1), image});
    }
    if (arguments.size() == 4 && !writeSheet(drawn, arguments.at(3)))
        return 1;
    return 0;
}
