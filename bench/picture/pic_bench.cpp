// Hit testing and moving a selection on a page of 5,000 shapes.
//
//   build/bench/picture/pic_bench

#include "picture/Pic.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>

using namespace lumavine;

namespace {

// 5,000 shapes of mixed kinds on a 1500 x 1500 page, a tenth of them lines
// attached to boxes, and 500 of them selected.
void fillPage(Pic& picture)
{
    std::mt19937 random(42);
    auto coordinate = [&](int limit) { return int(random() % unsigned(limit)); };
    std::vector<PicNode*> boxes;
    for (int i = 0; i < 5000; ++i) {
        int x = coordinate(1400);
        int y = coordinate(1400);
        switch (i % 10) {
        case 0:
            if (boxes.size() >= 2) {
                PicNode* line = picture.addLine({ QPoint(x, y), QPoint(x + 50, y + 30) });
                line->setEndId(0, boxes[random() % boxes.size()]->id());
                line->setEndId(1, boxes[random() % boxes.size()]->id());
                line->resolveEnds();
            }
            break;
        case 1:
        case 2:
            picture.addPolygon({ QPoint(x, y), QPoint(x + 60, y), QPoint(x + 30, y + 50) });
            break;
        case 3:
        case 4:
            boxes.push_back(picture.addEllipse(QRect(x, y, 60, 40)));
            break;
        default:
            boxes.push_back(picture.addRectangle(QRect(x, y, 60, 40)));
            break;
        }
    }
    int selected = 0;
    for (PicNode* node : picture.shapes()) {
        if (selected < 500 && node->kind() != ShapeKind::Line) {
            picture.select(node, true, true);
            ++selected;
        }
    }
}

void hitTest(benchmark::State& state)
{
    Pic picture;
    fillPage(picture);
    std::mt19937 random(7);
    for (auto _ : state) {
        QPoint point(int(random() % 1500u), int(random() % 1500u));
        benchmark::DoNotOptimize(picture.hitPoint(point, nullptr, false));
    }
}

void moveSelection(benchmark::State& state)
{
    Pic picture;
    fillPage(picture);
    int direction = 1;
    for (auto _ : state) {
        picture.moveSelectionBy(ScreenDelta { direction, 0 });
        direction = -direction;
    }
    state.counters["selected"] = double(picture.selectionCount());
}

BENCHMARK(hitTest)->Unit(benchmark::kMicrosecond);
BENCHMARK(moveSelection)->Unit(benchmark::kMicrosecond);

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
