#pragma once

// The bookkeeping a style manager shares with the others: the committed styles of one kind
// and the current style that receives the items being drawn.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "chart/styles/StyleStore.h"
#include "platform/io/Archive.h"

/// Committed styles of type `Style`, each held once, and the current style.
///
/// The current style is either a member of the committed list (shared) or owned apart from
/// it. A change of attributes never reaches a style that already holds items (Commit comes
/// first), and a fresh current style that receives its first item is swapped for a
/// committed style with the same attributes when there is one (InternCurrent).
template <typename Style>
class CStyleList : public CStyleStore {
 public:
  int GetSize() const override { return static_cast<int>(m_styles.size()); }
  /// The committed style at 1-based `position`; null outside 1 .. GetSize().
  Style* GetStyle(int position) const {
    if (position < 1 || position > GetSize()) return nullptr;
    return m_styles[static_cast<std::size_t>(position - 1)].get();
  }
  /// True when the current style is also in the committed list.
  bool IsCurrentShared() const { return m_bShared != 0; }

  /// When the current style holds items: puts it in the committed list (unless it is there
  /// already) and starts a fresh current style with the same attributes. Otherwise nothing
  /// happens.
  virtual void Commit() {
    if (m_pCurrent->IsEmpty()) return;
    AppendCurrent();
    SetOwnCurrent(MakeFreshStyle());
  }

  /// Every style that is drawn: the committed ones in order, then the current style when it
  /// holds items of its own.
  std::vector<Style*> AllStyles() const {
    std::vector<Style*> all;
    all.reserve(m_styles.size() + 1);
    for (const auto& s : m_styles) all.push_back(s.get());
    if (OwnCurrentWithItems()) all.push_back(m_pCurrent);
    return all;
  }

  /// Deletes the items of group `tag` (all for −1) in the committed styles and the current
  /// one, and drops the committed styles left empty; a shared current style that empties
  /// stays current, owned apart from the list.
  int DeleteItems(int tag) override {
    int deleted = 0;
    for (auto& s : m_styles) deleted += s->DeleteItems(tag);
    if (!m_bShared) deleted += m_pCurrent->DeleteItems(tag);
    for (auto it = m_styles.begin(); it != m_styles.end();) {
      if (!(*it)->IsEmpty()) {
        ++it;
        continue;
      }
      if (it->get() == m_pCurrent) {
        m_ownCurrent = std::move(*it);
        m_bShared = 0;
      }
      it = m_styles.erase(it);
    }
    return deleted;
  }

 protected:
  /// The kind this manager's stored form writes (kKindLine, kKindFill or kKindChar).
  virtual std::uint32_t OwnKind() const = 0;
  /// A fresh style with the current attributes and the mapper.
  virtual std::unique_ptr<Style> MakeFreshStyle() const = 0;
  /// True when committed style `s` has the attributes of the current style.
  virtual bool MatchesCurrent(const Style& s) const = 0;

  /// Gives `mapper` (not owned) to the manager and every style; with `newCurrent` a current
  /// style that holds items goes to the list, and the caller starts a fresh one. Refused
  /// (false) when the manager already has a document.
  bool AttachStyles(CMapper* mapper, bool newCurrent) {
    if (IsAttached()) return false;
    SetMapperInternal(mapper);
    for (auto& s : m_styles) s->SetMapper(mapper);
    m_pCurrent->SetMapper(mapper);
    if (newCurrent && !m_pCurrent->IsEmpty()) AppendCurrent();
    return true;
  }

  /// Makes `fresh` the current style, owned apart from the list.
  void SetOwnCurrent(std::unique_ptr<Style> fresh) {
    m_ownCurrent = std::move(fresh);
    m_pCurrent = m_ownCurrent.get();
    m_bShared = 0;
  }
  /// Puts the current style in the committed list when it is owned apart from it.
  void AppendCurrent() {
    if (m_bShared) return;
    if (GetKind() == kKindUnknown) SetKind(OwnKind());
    m_styles.push_back(std::move(m_ownCurrent));
    m_bShared = 1;
  }
  /// When the current style is empty, swaps it for the first committed style that matches.
  void InternCurrent() {
    if (!m_pCurrent->IsEmpty()) return;
    for (auto& s : m_styles) {
      if (s.get() == m_pCurrent || !MatchesCurrent(*s)) continue;
      m_ownCurrent.reset();
      m_pCurrent = s.get();
      m_bShared = 1;
      return;
    }
  }
  /// The current style when it is owned apart from the list and holds items; else null.
  const Style* OwnCurrentWithItems() const {
    return !m_bShared && !m_pCurrent->IsEmpty() ? m_pCurrent : nullptr;
  }
  /// True when `s` is a committed style.
  bool IsCommitted(const Style* s) const {
    return s && std::any_of(m_styles.begin(), m_styles.end(),
                            [s](const auto& held) { return held.get() == s; });
  }

  /// Calls `f` on every committed style, then on the current style when it is owned apart
  /// from the list (whether or not it holds items).
  template <typename F>
  void ForEachStyle(F f) {
    for (auto& s : m_styles) f(*s);
    if (!m_bShared) f(*m_pCurrent);
  }
  /// Calls `f` on every style that is drawn, in drawing order (as AllStyles lists them).
  template <typename F>
  void ForEachDrawn(F f) const {
    for (const auto& s : m_styles) f(static_cast<const Style&>(*s));
    if (const Style* own = OwnCurrentWithItems()) f(*own);
  }
  template <typename F>
  void ForEachDrawn(F f) {
    for (auto& s : m_styles) f(*s);
    if (OwnCurrentWithItems()) f(*m_pCurrent);
  }
  /// The first non-null result of `search` over the drawn styles from the top down: the
  /// current style's own items, then the committed styles from the last.
  template <typename Hit, typename Search>
  Hit* FindFromTop(Search search) const {
    if (const Style* own = OwnCurrentWithItems())
      if (Hit* hit = search(*own)) return hit;
    for (auto it = m_styles.rbegin(); it != m_styles.rend(); ++it)
      if (Hit* hit = search(**it)) return hit;
    return nullptr;
  }

  /// Moves an item of committed style `from` to the style that `apply` describes: the
  /// current style is committed, given the attributes by `apply` and interned; `move` then
  /// takes the item from `from` into it. The current attributes come back afterwards (a
  /// restyle is not a change of the drawing attributes) and `from` is dropped when it
  /// empties. Returns the item's new style.
  Style* Rehome(Style* from, const std::function<void(Style&)>& apply,
                const std::function<void(Style&)>& move) {
    Commit();
    std::unique_ptr<Style> drawing = MakeFreshStyle();
    drawing->AddFlags(m_pCurrent->GetFlags());
    apply(*m_pCurrent);
    InternCurrent();
    Style* home = m_pCurrent;
    move(*home);
    home->AddFlags(from->GetFlags());
    AppendCurrent();
    SetOwnCurrent(std::move(drawing));
    if (from->IsEmpty()) {
      auto it = std::find_if(m_styles.begin(), m_styles.end(),
                             [from](const auto& s) { return s.get() == from; });
      if (it != m_styles.end()) m_styles.erase(it);
    }
    return home;
  }

  /// Writes or reads the stored form: the 16-bit kind, then (for this manager's kind) the
  /// count, 32-bit when `wideCount` else 16-bit (at most 65,535 styles written), and the
  /// styles. Kind 0 and nothing more is written while no style is committed. Reading
  /// refuses another manager's kind and a count beyond what the data can hold (each style
  /// takes at least `minBytes`), makes each style with `make` and keeps those that hold
  /// items.
  template <typename Make>
  void SerializeStyles(tessmor::Archive& ar, bool wideCount, std::uint64_t minBytes, Make make) {
    const std::uint32_t own = OwnKind();
    if (ar.IsStoring()) {
      const std::uint32_t kind = m_styles.empty() ? GetKind() : own;
      ar.WriteU16(static_cast<std::uint16_t>(kind));
      if (kind != own) return;
      std::size_t count = m_styles.size();
      if (wideCount) {
        ar.WriteU32(static_cast<std::uint32_t>(count));
      } else {
        count = std::min<std::size_t>(count, 0xFFFF);
        ar.WriteU16(static_cast<std::uint16_t>(count));
      }
      for (std::size_t i = 0; i < count; ++i) m_styles[i]->Serialize(ar);
      return;
    }
    const std::uint16_t kind = ar.ReadU16();
    if (kind != own && (kind == kKindLine || kind == kKindFill || kind == kKindChar))
      throw tessmor::ArchiveException();
    if (kind != own) return;
    const std::uint32_t count = wideCount ? ar.ReadU32() : ar.ReadU16();
    if (static_cast<std::uint64_t>(count) * minBytes > BytesLeft(ar))
      throw tessmor::ArchiveException();
    std::vector<std::unique_ptr<Style>> read;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::unique_ptr<Style> style = make();
      style->SetMapper(GetMapper());
      style->Serialize(ar);
      if (!style->IsEmpty()) read.push_back(std::move(style));
    }
    if (read.empty()) return;
    SetKind(own);
    for (auto& s : read) m_styles.push_back(std::move(s));
  }

  std::vector<std::unique_ptr<Style>> m_styles;
  std::unique_ptr<Style> m_ownCurrent;
  Style* m_pCurrent = nullptr;
  int m_bShared = 0;
};
