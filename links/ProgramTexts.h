// The program's own short texts: the link labels and the About box's paragraphs.
#pragma once

namespace hexalune {

inline constexpr char kForumLinkText[] =
    "Questions, stories or a hexagram that struck a chord? Join the other readers in the Hexalune forum.";
inline constexpr char kCoBrandLinkText[] =
    "Run a web site? Offer Hexalune to your visitors with your site's name and link inside it. Click here to find out more.";
inline constexpr char kFullBrandLinkText[] =
    "Would you like Hexalune under your own name, made for your web site from top to bottom? Click here for the details.";
inline constexpr char kAboutDescription[] =
    "Hexalune is a small daily companion built on the I Ching, the Book of Changes. Each day it draws one of the "
    "64 hexagrams as your lucky hexagram for the day and sets out its Judgment and its Image, together with the "
    "changing lines, so that you have a quiet point of reference to start the day from.";
inline constexpr char kAboutPromotion[] =
    "Want this program fully branded for your own web site, with your name, your colours and your link? We can "
    "build it for you.";
inline constexpr char kAboutHomePagePrefix[] = "Click here to visit ";
inline constexpr char kAboutDetailsLink[] = "Click here for more details";

}  // namespace hexalune
