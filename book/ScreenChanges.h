#pragma once
// The book's screen changes. Each builds its screen afresh (reading its files
// again), puts it alone in a new scene and hands the scene to the director,
// which then owns it; the callers keep no reference.
namespace book {

class PageLayer;

namespace screens {

// The home page, without a transition.
void home();
// A page scene at currentPage (a TestLayer1), without a transition.
void page();
// `twin` (a page layer holding one reference, which this takes over) with the
// 0.5 s page turn, backwards when `backwards`.
void turnTo(PageLayer* twin, bool backwards);
// The settings panel, over the 0.5 s zoom flip.
void settings();
// From the settings panel back to a page at currentPage, over a zoom flip of no length.
void pageFromSettings();
// The page menu at the screen that the book state names.
void pageMenu();
// The shelf of books, without a transition.
void shelf();

} // namespace screens
} // namespace book
