#include <gtest/gtest.h>

#include "config/jre_path_write_back.h"
#include "ui/dialog_placement.h"
#include "ui/link_color.h"

namespace tarn {
namespace {

TEST(CentredPosition, Cases) {
  const ScreenRect work{0, 0, 1280, 1000};
  const ScreenRect owner{100, 100, 500, 400};
  const ScreenRect minimisedAway{-32000, -32000, -31840, -31970};
  const ScreenRect secondMonitor{-1920, -200, 0, 880};
  const ScreenRect nearTheCorner{1100, 900, 1280, 1000};
  struct Case {
    const char* name;
    ScreenRect window;
    const ScreenRect* reference;
    ScreenRect area;
    ScreenPoint expected;
  } cases[] = {
      {"no owner: the work area's middle", {0, 0, 300, 200}, nullptr, work, {490, 400}},
      {"over the owner", {0, 0, 200, 100}, &owner, work, {200, 200}},
      {"odd sizes truncate", {0, 0, 301, 201}, nullptr, work, {490, 400}},
      {"owner off the area: pulled back in", {0, 0, 300, 200}, &minimisedAway, work, {0, 0}},
      {"larger than the area: its top left in view", {0, 0, 1500, 1200}, nullptr, work, {0, 0}},
      {"past the far edge: moved back", {0, 0, 400, 300}, &nearTheCorner, work, {880, 700}},
      {"second monitor at negative coordinates", {0, 0, 320, 200}, nullptr, secondMonitor, {-1120, 240}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ScreenPoint point = centredPosition(c.window, c.reference, c.area);
    EXPECT_EQ(point.x, c.expected.x);
    EXPECT_EQ(point.y, c.expected.y);
  }
}

TEST(ParseColorText, Cases) {
  struct Case {
    const wchar_t* text;
    bool parsed;
    uint32_t color;
  } cases[] = {
      {L"0,0,255", true, 0x00FF0000},
      {L"128,0,128", true, 0x00800080},
      {L"256,0,0", true, 0x00000000},
      {L"300, 20 ,7", true, 0x0007142C},
      {L"999999999999,0,0", true, 0x000000FF},
      {L"0,0,-1", true, 0x00FF0000},
      {L"x,y,z", true, 0},
      {L"255,0", false, 0},
      {L"255,0,", false, 0},
      {L"1,2", false, 0},
      {L",,", false, 0},
      {L"-1,0,0", false, 0},
      {L"0,-1,0", false, 0},
      {L"", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
    uint32_t color = 0x12345678;
    EXPECT_EQ(parseColorText(c.text, color), c.parsed);
    EXPECT_EQ(color, c.parsed ? c.color : 0x12345678u);
  }
}

TEST(ColorValueText, RegistryValues) {
  const uint8_t good[] = {'1', 0, ',', 0, '2', 0, ',', 0, '3', 0, 0, 0};
  const uint8_t unterminated[] = {'1', 0, ',', 0, '2', 0};
  std::wstring text;
  EXPECT_TRUE(colorValueText(kRegistryText, good, sizeof(good), text));
  EXPECT_EQ(text, L"1,2,3");
  EXPECT_TRUE(colorValueText(kRegistryExpandableText, good, sizeof(good), text));
  EXPECT_FALSE(colorValueText(4 /* REG_DWORD */, good, sizeof(good), text));
  EXPECT_FALSE(colorValueText(kRegistryText, unterminated, sizeof(unterminated), text));
  EXPECT_FALSE(colorValueText(kRegistryText, good, sizeof(good) - 1, text));
  EXPECT_TRUE(colorValueText(kRegistryText, good, 0, text));
  EXPECT_EQ(text, L"");
}

TEST(JrePathTargets, PerUserServiceAndSibling) {
  LauncherPaths paths{L"C:\\App\\run.exe", L"C:\\App\\", L"C:\\App\\run.ini"};
  Settings settings;
  settings.product.name = L"Demo";
  settings.product.code = L"P1";
  const std::wstring appData = L"C:\\Users\\u\\AppData\\Roaming";
  using List = std::vector<std::wstring>;
  EXPECT_EQ(jrePathTargets(settings, paths, appData, kWindowsPathStyle),
            (List{L"C:\\Users\\u\\AppData\\Roaming\\Demo\\P1\\run.ini"}));
  EXPECT_EQ(jrePathTargets(settings, paths, L"", kWindowsPathStyle), (List{L"C:\\App\\run.ini"}));
  settings.pairProduct = L"bin\\run32.exe";
  EXPECT_EQ(jrePathTargets(settings, paths, appData, kWindowsPathStyle),
            (List{L"C:\\Users\\u\\AppData\\Roaming\\Demo\\P1\\run.ini",
                  L"C:\\Users\\u\\AppData\\Roaming\\Demo\\P1\\run32.ini"}));
  settings.service = true;
  // The sibling's file lies beside it, below the launcher's folder, whatever the current directory.
  EXPECT_EQ(jrePathTargets(settings, paths, appData, kWindowsPathStyle),
            (List{L"C:\\App\\run.ini", L"C:\\App\\bin\\run32.ini"}));
}

}  // namespace
}  // namespace tarn
