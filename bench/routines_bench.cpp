// Micro-benchmarks of the composition routines that run over every pixel of a wallpaper: the
// smooth stretch, the gradient fill and the mask blend. Inputs are painted in memory (no files).

#include "PhotoScene.h"
#include "compose/Bitmap.h"
#include "compose/Fills.h"
#include "compose/MaskBlend.h"
#include "compose/Resampler.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace palvina {
namespace {

// Source sizes by argument: a screen-size picture, 12 MP and 24 MP photos.
void StretchArgs(benchmark::internal::Benchmark* b)
{
    b->Args({1920, 1080})->Args({4000, 3000})->Args({6000, 4000})->Unit(benchmark::kMillisecond);
}

void BM_SmoothStretchToScreen(benchmark::State& state)
{
    const Bitmap source = synth::PaintPhoto(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 7);
    Bitmap screen(1920, 1080);
    for (auto _ : state) {
        SmoothStretch(source, screen);
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations() * source.width() * source.height());
}
BENCHMARK(BM_SmoothStretchToScreen)->Apply(StretchArgs);

// Enlarging: a small picture onto the whole screen.
void BM_SmoothStretchEnlarge(benchmark::State& state)
{
    const Bitmap source = synth::PaintPhoto(800, 600, 7);
    Bitmap screen(1920, 1080);
    for (auto _ : state) {
        SmoothStretch(source, screen);
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations() * screen.width() * screen.height());
}
BENCHMARK(BM_SmoothStretchEnlarge)->Unit(benchmark::kMillisecond);

void BM_FillGradient(benchmark::State& state)
{
    Bitmap screen(1920, 1080);
    const int direction = static_cast<int>(state.range(0));
    for (auto _ : state) {
        FillGradient(screen, direction, 0x000000, 0x800000);  // clNavy to clBlack
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations() * screen.width() * screen.height());
}
BENCHMARK(BM_FillGradient)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BlendWithMask(benchmark::State& state)
{
    const Bitmap picture = synth::PaintPhoto(1920, 1080, 7);
    Bitmap mask(1920, 1080);
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            mask.setPixel(x, y, static_cast<std::uint32_t>((x + y) & 0xFF) * 0x010101U);
        }
    }
    Bitmap output(1920, 1080);
    for (auto _ : state) {
        BlendWithMask(picture, mask, output);
        benchmark::DoNotOptimize(output.data());
    }
    state.SetItemsProcessed(state.iterations() * picture.width() * picture.height());
}
BENCHMARK(BM_BlendWithMask)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace palvina

BENCHMARK_MAIN();
