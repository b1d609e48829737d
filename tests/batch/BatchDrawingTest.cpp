// The batch program's drawings read back by other programs: the plotter file through hp2xx,
// the SVG as XML, the PDF through pdftoppm.
#include "BatchRun.h"
#include "model/FileIO.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QImage>
#include <QStringList>
#include <QXmlStreamReader>

#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

int RunArgs(std::vector<std::string> args, std::string& err) {
    const BatchRun r = Batch(std::move(args));
    err = r.Err;
    return r.Status;
}

bool HaveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The example cave copied into a fresh directory.
struct ExampleCave {
    TempDir dir;
    std::string file = dir.File("Kvitberghola.grt");
    ExampleCave() { WriteFileBytes(file, ReadFileBytes(SourcePath("examples/Kvitberghola.grt"))); }
};

// The number of pixels for which pred holds.
template <class P> int CountPixels(const QImage& image, P pred) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += pred(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

} // namespace

// A plotter draws the legs as lines: far more inked pixels than one dot per vector end.
TEST(BatchDrawing, PlotterFileRendersWithHp2xx) {
    ASSERT_TRUE(HaveProgram("hp2xx")) << "hp2xx is missing; scripts/setup.sh installs it";
    ExampleCave cave;
    std::string err;
    ASSERT_EQ(RunArgs({cave.file, "--quiet", "--hpgl"}, err), 0) << err;
    const std::string png = cave.dir.File("cave.png");
    const std::string command = "hp2xx -q -m png -f '" + png + "' '" +
                                cave.dir.File("Kvitberghola.plt") + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png)));
    const int inked = CountPixels(image, [](const QColor& c) { return c.lightness() < 128; });
    // 81 legs and a hexagon ink about 1150 pixels; drawn as dots (line type 0) under 100.
    EXPECT_GT(inked, 800) << image.width() << "x" << image.height();
}

// Legs of one pen make one path, so a drawing program gets them as one editable object.
TEST(BatchDrawing, SvgHoldsOnePathPerLegGroup) {
    ExampleCave cave;
    const std::string svg = cave.dir.File("cave.svg");
    std::string err;
    ASSERT_EQ(RunArgs({cave.file, "--quiet", "--svg", svg}, err), 0) << err;
    QFile f(QString::fromStdString(svg));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QStringList strokes{"none"}; // of the enclosing groups
    std::vector<QString> legPaths, otherPaths;
    bool root = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"g")
            strokes.removeLast();
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto stroke = xml.attributes().value("stroke");
        if (xml.name() == u"g")
            strokes.append(stroke.isEmpty() ? strokes.last() : stroke.toString());
        root = root || xml.name() == u"svg";
        if (xml.name() == u"path" || xml.name() == u"polyline" || xml.name() == u"line") {
            const QString d = xml.attributes().value("d").toString();
            (strokes.last() == "#ffff00" ? legPaths : otherPaths).push_back(d);
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(root);
    // The yellow legs, and the start marker.
    ASSERT_EQ(legPaths.size(), 1u);
    EXPECT_EQ(otherPaths.size(), 1u);
    // 82 shots, the first of zero length from the start station to itself.
    EXPECT_EQ(legPaths[0].count('L'), 81);

    // Labels travel as text.
    const std::string labelled = cave.dir.File("labels.svg");
    ASSERT_EQ(RunArgs({cave.file, "--quiet", "--labels", "--svg", labelled}, err), 0) << err;
    EXPECT_NE(ReadFileBytes(labelled).find(">A017</text>"), std::string::npos);
}

TEST(BatchDrawing, PdfOpensWithTheCaveDrawn) {
    ASSERT_TRUE(HaveProgram("pdftoppm")) << "pdftoppm is missing; scripts/setup.sh installs it";
    ExampleCave cave;
    const std::string pdf = cave.dir.File("cave.pdf");
    std::string err;
    ASSERT_EQ(RunArgs({cave.file, "--quiet", "--size", "800x500", "--pdf", pdf}, err), 0) << err;
    EXPECT_EQ(ReadFileBytes(pdf).substr(0, 4), "%PDF");
    const std::string prefix = cave.dir.File("page");
    const std::string command =
        "pdftoppm -r 72 -png -singlefile '" + pdf + "' '" + prefix + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(prefix + ".png")));
    EXPECT_EQ(image.width(), 800);
    // Centre lines are yellow on the black plot.
    const int yellow = CountPixels(
        image, [](const QColor& c) { return c.red() > 150 && c.green() > 150 && c.blue() < 100; });
    EXPECT_GT(yellow, 400);

    EXPECT_EQ(RunArgs({cave.file, "--quiet", "--pdf", cave.dir.File("no/such/dir.pdf")}, err), 1);
    EXPECT_NE(err.find("Could NOT write "), std::string::npos) << err;
}
