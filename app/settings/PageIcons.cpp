#include "app/settings/PageIcons.h"

#include <QPainter>
#include <QSvgRenderer>

// Keep each text byte for byte equal to its file in resources/.
namespace {

const char kIcon0[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="board" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#fbe3b4"/>
      <stop offset="1" stop-color="#e0b36a"/>
    </linearGradient>
  </defs>
  <path d="M24 5C12.4 5 4 12.8 4 22.5 4 32 11.5 40 21 40c2.6 0 3.4-1.6 2.9-3.4-.6-2.2.4-4.1 3.2-4.1H33c6.2 0 11-4.1 11-10.2C44 12.5 35.3 5 24 5z"
        fill="url(#board)" stroke="#8a5a1c" stroke-width="1.5"/>
  <circle cx="14" cy="20" r="3.6" fill="#d83b3b"/>
  <circle cx="21" cy="12.5" r="3.6" fill="#f2c12e"/>
  <circle cx="31" cy="12.5" r="3.6" fill="#3aa655"/>
  <circle cx="37" cy="21" r="3.6" fill="#2f6fd0"/>
  <circle cx="15" cy="30" r="3.2" fill="#8e44ad"/>
  <path d="M29 46l3-10 6-8 3 2-5 8-7 8z" fill="#5b3a1a"/>
  <path d="M38 28l6-9c.7-1 2.2-.2 1.7.9l-4.7 10.1z" fill="#c0c6cf" stroke="#6b717a" stroke-width=".8"/>
</svg>
)svg";

const char kIcon1[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="metal" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#dfe6ee"/>
      <stop offset="1" stop-color="#8d9aab"/>
    </linearGradient>
    <linearGradient id="go" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7ed66f"/>
      <stop offset="1" stop-color="#2c9a3a"/>
    </linearGradient>
  </defs>
  <g transform="translate(20 20)">
    <path d="M-3-17h6l1 5 4 1.7 4.3-2.9 4.2 4.2-2.9 4.3 1.7 4 5 1v6l-5 1-1.7 4 2.9 4.3-4.2 4.2-4.3-2.9-4 1.7-1 5h-6l-1-5-4-1.7-4.3 2.9-4.2-4.2 2.9-4.3-1.7-4-5-1v-6l5-1 1.7-4-2.9-4.3 4.2-4.2 4.3 2.9 4-1.7z"
          fill="url(#metal)" stroke="#4f5b6a" stroke-width="1.4" stroke-linejoin="round"/>
    <circle r="6" fill="#f4f6f9" stroke="#4f5b6a" stroke-width="1.4"/>
  </g>
  <circle cx="36" cy="36" r="11" fill="url(#go)" stroke="#1f6e29" stroke-width="1.4"/>
  <path d="M32.5 30.5v11l9-5.5z" fill="#ffffff"/>
</svg>
)svg";

const char kIcon2[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="disk" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#5b8fdc"/>
      <stop offset="1" stop-color="#23509c"/>
    </linearGradient>
  </defs>
  <path d="M4 6a2 2 0 0 1 2-2h26l8 8v26a2 2 0 0 1-2 2H6a2 2 0 0 1-2-2z" fill="url(#disk)" stroke="#173a73" stroke-width="1.4"/>
  <rect x="11" y="4.7" width="18" height="11" rx="1" fill="#e8edf4" stroke="#173a73" stroke-width="1"/>
  <rect x="23" y="6.5" width="4" height="7" fill="#23509c"/>
  <rect x="9" y="22" width="26" height="17" rx="1" fill="#f8f9fb" stroke="#173a73" stroke-width="1"/>
  <path d="M13 27h18M13 31h18M13 35h12" stroke="#9aa7b8" stroke-width="1.4"/>
  <circle cx="36" cy="36" r="10.5" fill="#fff7dc" stroke="#b07a10" stroke-width="1.6"/>
  <path d="M36 29.5V36l4.5 3" fill="none" stroke="#5a3d05" stroke-width="2" stroke-linecap="round"/>
</svg>
)svg";

const char kIcon3[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="paper" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffffff"/>
      <stop offset="1" stop-color="#dfe5ec"/>
    </linearGradient>
    <linearGradient id="head" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8fc3f0"/>
      <stop offset="1" stop-color="#3a78c2"/>
    </linearGradient>
  </defs>
  <path d="M7 4h20l8 8v30a2 2 0 0 1-2 2H7a2 2 0 0 1-2-2V6a2 2 0 0 1 2-2z" fill="url(#paper)" stroke="#5a6775" stroke-width="1.4"/>
  <path d="M27 4v8h8" fill="#c9d2dc" stroke="#5a6775" stroke-width="1.2" stroke-linejoin="round"/>
  <path d="M9.5 15l2.5 2.5 4.5-5" fill="none" stroke="#2c9a3a" stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round"/>
  <path d="M19 15h9" stroke="#8593a5" stroke-width="1.8" stroke-linecap="round"/>
  <path d="M10 22l5 5M15 22l-5 5" stroke="#d03b3b" stroke-width="2.2" stroke-linecap="round"/>
  <path d="M19 24.5h9" stroke="#8593a5" stroke-width="1.8" stroke-linecap="round"/>
  <path d="M9.5 34l2.5 2.5 4.5-5" fill="none" stroke="#2c9a3a" stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round"/>
  <path d="M19 34h4" stroke="#8593a5" stroke-width="1.8" stroke-linecap="round"/>
  <path d="M36 26v-4" stroke="#1d4f8a" stroke-width="1.6"/>
  <circle cx="36" cy="21" r="2.4" fill="#f2c12e" stroke="#1d4f8a" stroke-width="1.1"/>
  <rect x="26" y="26" width="20" height="17" rx="3.5" fill="url(#head)" stroke="#1d4f8a" stroke-width="1.5"/>
  <circle cx="31.5" cy="33" r="2.6" fill="#ffffff"/>
  <circle cx="40.5" cy="33" r="2.6" fill="#ffffff"/>
  <circle cx="31.5" cy="33" r="1.1" fill="#1d4f8a"/>
  <circle cx="40.5" cy="33" r="1.1" fill="#1d4f8a"/>
  <path d="M31.5 39h9" stroke="#ffffff" stroke-width="1.8" stroke-linecap="round"/>
</svg>
)svg";

const char kIcon4[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="node" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#9fd28f"/>
      <stop offset="1" stop-color="#3f9a45"/>
    </linearGradient>
    <linearGradient id="globe" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8fc3f0"/>
      <stop offset="1" stop-color="#3a78c2"/>
    </linearGradient>
  </defs>
  <path d="M17 13v8M8 21h18M8 21v6M26 21v6M8 31v5M8 36h7" fill="none" stroke="#5a6775" stroke-width="1.8" stroke-linejoin="round"/>
  <rect x="9" y="3" width="16" height="10" rx="2" fill="url(#node)" stroke="#2a6a2f" stroke-width="1.4"/>
  <rect x="2" y="27" width="12" height="8" rx="1.8" fill="url(#node)" stroke="#2a6a2f" stroke-width="1.3"/>
  <rect x="20" y="27" width="12" height="8" rx="1.8" fill="url(#node)" stroke="#2a6a2f" stroke-width="1.3"/>
  <rect x="15" y="33" width="10" height="7" rx="1.6" fill="#f2c12e" stroke="#8a6a10" stroke-width="1.2"/>
  <circle cx="37" cy="36" r="10" fill="url(#globe)" stroke="#1d4f8a" stroke-width="1.5"/>
  <path d="M27 36h20M37 26c-3.6 3-3.6 17 0 20M37 26c3.6 3 3.6 17 0 20M29 31h16M29 41h16" fill="none" stroke="#ffffff" stroke-width="1.2"/>
</svg>
)svg";

const char kIconUrlRules[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="bar" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8fc3f0"/>
      <stop offset="1" stop-color="#3a78c2"/>
    </linearGradient>
    <linearGradient id="funnel" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#fbd58a"/>
      <stop offset="1" stop-color="#e09a2c"/>
    </linearGradient>
  </defs>
  <rect x="2" y="4" width="44" height="15" rx="3.5" fill="url(#bar)" stroke="#1d4f8a" stroke-width="1.5"/>
  <rect x="6" y="8" width="12" height="7" rx="1.5" fill="#ffffff"/>
  <text x="21" y="16" font-family="sans-serif" font-size="10" font-weight="bold" fill="#ffffff">?</text>
  <rect x="27" y="8" width="15" height="7" rx="1.5" fill="#ffffff" opacity=".55"/>
  <path d="M27 15.5l15-8" stroke="#d03b3b" stroke-width="2.4" stroke-linecap="round"/>
  <path d="M6 23h36l-13 12v9l-10 3V35z" fill="url(#funnel)" stroke="#8a5a10" stroke-width="1.5" stroke-linejoin="round"/>
  <path d="M11 27h26" stroke="#fff3d6" stroke-width="1.6" stroke-linecap="round"/>
</svg>
)svg";

const char kIconConnection[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="globe" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7fd3e8"/>
      <stop offset="1" stop-color="#1f7fa8"/>
    </linearGradient>
    <linearGradient id="lock" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffd76a"/>
      <stop offset="1" stop-color="#d99a12"/>
    </linearGradient>
  </defs>
  <circle cx="20" cy="20" r="16" fill="url(#globe)" stroke="#145a78" stroke-width="1.5"/>
  <path d="M4 20h32M20 4c-6 5-6 27 0 32M20 4c6 5 6 27 0 32M7 11h26M7 29h26" fill="none" stroke="#e9f7fb" stroke-width="1.3"/>
  <path d="M33 27v-3.5a5 5 0 0 1 10 0V27" fill="none" stroke="#6b4a08" stroke-width="2.4"/>
  <rect x="29.5" y="27" width="17" height="15" rx="2" fill="url(#lock)" stroke="#6b4a08" stroke-width="1.4"/>
  <circle cx="38" cy="33.5" r="2" fill="#6b4a08"/>
  <path d="M38 34.5v4" stroke="#6b4a08" stroke-width="1.8" stroke-linecap="round"/>
</svg>
)svg";

const char kIconPush[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
  <defs>
    <linearGradient id="wing" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#8fc3f0"/>
      <stop offset="1" stop-color="#3a78c2"/>
    </linearGradient>
  </defs>
  <path d="M4 22L44 5L34 42L23 31L16 40V28z" fill="url(#wing)" stroke="#1d4f8a" stroke-width="1.6" stroke-linejoin="round"/>
  <path d="M16 28L44 5L23 31" fill="#d8eafb" stroke="#1d4f8a" stroke-width="1.3" stroke-linejoin="round"/>
  <path d="M6 40h6M3 45h10" stroke="#e09a2c" stroke-width="2.2" stroke-linecap="round"/>
</svg>
)svg";

const char* const kIcons[kPageIconCount] = {kIcon0, kIcon1,       kIcon2,          kIcon3,
                                            kIconUrlRules, kIcon4, kIconConnection, kIconPush};
const char* const kFiles[kPageIconCount] = {"page-appearance.svg", "page-run.svg",      "page-autosave.svg",
                                            "page-rules.svg",      "page-urlrules.svg", "page-sitemap.svg",
                                            "page-connection.svg", "page-push.svg"};

}  // namespace

const char* PageIconSvg(int index) { return index >= 0 && index < kPageIconCount ? kIcons[index] : nullptr; }

const char* PageIconFileName(int index) { return index >= 0 && index < kPageIconCount ? kFiles[index] : nullptr; }

std::vector<QPixmap> RenderPageIcons(int side) {
  std::vector<QPixmap> icons;
  for (int i = 0; i < kPageIconCount; ++i) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QByteArray(kIcons[i]));
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, side, side));
    painter.end();
    icons.push_back(pixmap);
  }
  return icons;
}
