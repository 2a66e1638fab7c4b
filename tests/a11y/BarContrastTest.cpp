// WCAG 2.2 contrast of the checkout's bar as it is drawn: the velquor command's screenshot on each
// real toolkit, each text's colour against the bar's background, read from the pixels.

#include "CommandProcess.h"

#include "SandboxGateway.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>

#include <unistd.h>

namespace a11y {
namespace {

using namespace std::chrono_literals;
using e2e::CommandProcess;
using e2e::ToolkitLibrary;

// WCAG 2.2 AA: normal text 4.5:1; large text (at least 18.66 px bold, or 24 px) 3:1.
constexpr double kNormalText = 4.5;
constexpr double kLargeText = 3.0;
// The bar's height in the checkout, in pixels at scale 1.
constexpr int kBarHeight = 44;

struct Rgb {
  int red, green, blue;
  bool operator<(const Rgb& other) const {
    return std::tie(red, green, blue) < std::tie(other.red, other.green, other.blue);
  }
};

double luminance(const Rgb& colour) {
  const auto linear = [](int channel) {
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) + 0.0722 * linear(colour.blue);
}

double contrast(const Rgb& one, const Rgb& other) {
  const double a = luminance(one), b = luminance(other);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

class Picture {
 public:
  explicit Picture(const std::string& file) : pixbuf_(gdk_pixbuf_new_from_file(file.c_str(), nullptr)) {}
  ~Picture() {
    if (pixbuf_) g_object_unref(pixbuf_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  bool loaded() const { return pixbuf_ != nullptr; }
  int width() const { return gdk_pixbuf_get_width(pixbuf_); }
  Rgb at(int x, int y) const {
    const guchar* pixel = gdk_pixbuf_read_pixels(pixbuf_) + y * gdk_pixbuf_get_rowstride(pixbuf_) +
                          x * gdk_pixbuf_get_n_channels(pixbuf_);
    return {pixel[0], pixel[1], pixel[2]};
  }

 private:
  GdkPixbuf* pixbuf_;
};

// A text drawn in [left, right) of the bar: its colour (the pixel that differs most from the
// background; anti-aliased edges only blend towards it) and how many rows its ink spans.
struct DrawnText {
  Rgb colour{0, 0, 0};
  double ratio = 1;
  int inkRows = 0;
};

DrawnText textIn(const Picture& picture, const Rgb& background, int left, int right) {
  DrawnText text;
  text.colour = background;
  for (int y = 1; y < kBarHeight - 2; ++y) {
    bool ink = false;
    for (int x = left; x < right; ++x) {
      const auto colour = picture.at(x, y);
      const double ratio = contrast(colour, background);
      if (ratio > text.ratio) {
        text.ratio = ratio;
        text.colour = colour;
      }
      ink = ink || ratio > 1.5;
    }
    text.inkRows += ink ? 1 : 0;
  }
  return text;
}

class BarContrast : public ::testing::TestWithParam<ToolkitLibrary> {};

TEST_P(BarContrast, TheTitleAndCancelMeetWcagAaAgainstTheBar) {
  velquor::sandbox::SandboxOptions options;
  options.autoResult = velquor::sandbox::AutoResult::success;
  velquor::sandbox::SandboxGateway gateway(std::move(options));
  const auto file = std::filesystem::temp_directory_path() /
                    ("velquor-bar-" + e2e::parameterName(GetParam()) + "-" + std::to_string(::getpid()) + ".png");
  std::vector<std::string> arguments{"checkout", "--endpoint", gateway.endpoint(), "--screenshot", file.string()};
  const auto choice = GetParam().arguments();
  arguments.insert(arguments.end(), choice.begin(), choice.end());
  CommandProcess command(VELQUOR_COMMAND, arguments, e2e::toolkitEnvironment(GetParam().toolkit));
  ASSERT_EQ(command.wait(90s), 0) << command.err();
  Picture picture(file.string());
  std::filesystem::remove(file);
  ASSERT_TRUE(picture.loaded());

  // The bar's background: the commonest colour of its rows.
  std::map<Rgb, int> counts;
  for (int y = 1; y < kBarHeight - 2; ++y) {
    for (int x = 0; x < picture.width(); ++x) ++counts[picture.at(x, y)];
  }
  const Rgb background = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                           return a.second < b.second;
                         })->first;
  const int width = picture.width();
  const auto title = textIn(picture, background, width / 3, width - width / 3);
  const auto cancel = textIn(picture, background, 0, width / 4);
  std::cout << GetParam().toolkit << " bar rgb(" << background.red << "," << background.green << "," << background.blue
            << "); title rgb(" << title.colour.red << "," << title.colour.green << "," << title.colour.blue << ") "
            << title.ratio << ":1 over " << title.inkRows << " rows; Cancel rgb(" << cancel.colour.red << ","
            << cancel.colour.green << "," << cancel.colour.blue << ") " << cancel.ratio << ":1 over " << cancel.inkRows
            << " rows\n";

  // The title must be large text (bold, at least 18.66 px): "V" to the foot of "q" spans about 0.96
  // of the font's size in DejaVu Sans, so 17 rows or more.
  EXPECT_GE(title.ratio, kLargeText);
  EXPECT_GE(title.inkRows, 17) << "the title is not large text";
  EXPECT_GE(cancel.ratio, kNormalText);
  EXPECT_GE(cancel.inkRows, 8) << "no Cancel drawn";
}

INSTANTIATE_TEST_SUITE_P(EachToolkitAndLibrary, BarContrast, ::testing::ValuesIn(e2e::toolkitLibraries()),
                         [](const auto& info) { return e2e::parameterName(info.param); });

}  // namespace
}  // namespace a11y
