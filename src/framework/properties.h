// Property records that describe a stream's picture or a chunk's picture and
// sound to the host, and the rectangles inside them. Built with fixed
// defaults; the host reads them and the plug-in never reads them back.
#pragma once

#include <cstdint>

namespace Kelvo {

template <typename T>
class Rect {
 public:
  Rect() = default;
  Rect(T l, T t, T r, T b) : left(l), top(t), right(r), bottom(b) {}
  Rect(const Rect&) = default;
  Rect& operator=(const Rect&) = default;
  virtual ~Rect() = default;
  virtual T width() const = 0;
  virtual T height() const = 0;

  T left{};
  T top{};
  T right{};
  T bottom{};
};

// A pixel rectangle: both edges count, so an all-zero rectangle is 1 by 1.
class RectInt final : public Rect<std::int32_t> {
 public:
  using Rect::Rect;
  std::int32_t width() const override { return span(left, right); }
  std::int32_t height() const override { return span(top, bottom); }

 private:
  // Far edge minus near edge plus one, wrapping instead of overflowing.
  static std::int32_t span(std::int32_t from, std::int32_t to) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from) + 1u);
  }
};

// A measured rectangle: width and height are distances, not clamped.
class RectFloat final : public Rect<double> {
 public:
  using Rect::Rect;
  double width() const override { return right - left; }
  double height() const override { return bottom - top; }
};

class Properties {
 public:
  Properties() = default;
  Properties(const Properties&) = default;
  Properties& operator=(const Properties&) = default;
  virtual ~Properties() = default;
};

class ImageProperties final : public Properties {
 public:
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t factorA = 1;
  std::int32_t factorB = 1;
  std::int32_t factorC = 1;
  RectFloat area;
  RectInt pixelArea;
  std::int32_t mode = 0;
  bool flag = false;
};

class AudioProperties final : public Properties {
 public:
  std::int32_t valueA = 0;
  std::int32_t valueB = 0;
};

}  // namespace Kelvo
