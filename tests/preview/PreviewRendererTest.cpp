#include "preview/PreviewRenderer.h"

#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

namespace veltrane {
namespace {

std::shared_ptr<Numbering> jobWithMargin(double margin)
{
    auto job = std::make_shared<Numbering>();
    job->setMarginTop(margin);
    return job;
}

TEST(PreviewRendererTest, OnlyTheNewestRequestReachesTheScreen)
{
    test::ScopedPreferences preferences;
    PreviewRenderer renderer;
    QSignalSpy ready(&renderer, &PreviewRenderer::previewReady);
    quint64 last = 0;
    for (double margin : {10.0, 20.0, 30.0, 40.0}) {
        PreviewRequest request;
        request.job = jobWithMargin(margin);
        last = renderer.request(std::move(request));
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !ready.isEmpty() && ready.last().at(0).toULongLong() == last; }));
    // No older image arrives after the newest one.
    QTest::qWait(200);
    EXPECT_EQ(ready.last().at(0).toULongLong(), last);
    PreviewRequest newest;
    newest.job = jobWithMargin(40);
    EXPECT_EQ(ready.last().at(1).value<QImage>(), PreviewRenderer::render(newest));
}

TEST(PreviewRendererTest, SamplePageDrawnAtTheScreensPixels)
{
    test::ScopedPreferences preferences;
    PreviewRequest request;
    request.job = jobWithMargin(0);
    request.scale = 2.0;
    EXPECT_EQ(PreviewRenderer::render(request).size(), QSize(1190, 1684));
}

} // namespace
} // namespace veltrane
