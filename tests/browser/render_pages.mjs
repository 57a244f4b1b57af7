// Renders pages that rumora-page writes in Shift-JIS in the system's
// Chromium and checks what the browser made of them: month tables and day
// cells, month names and weekday headers, colours, bold, and the picture at
// its size in all three picture layouts.
//
// Usage: node render_pages.mjs --tool PATH/rumora-page [--chromium PATH]
//
// Each page is loaded from its file:// address, exactly as a user's browser
// opens it, so the file:///... picture may load. The page declares its
// character set, so English pages, whose only non-ASCII text is the font
// name, are read as Shift_JIS too and the font applies by name.

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

import { chromium } from 'playwright-core';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 && at + 1 < args.length ? args[at + 1] : fallback;
};
const tool = option('--tool');
const chromiumPath = option('--chromium', '/usr/bin/chromium');
if (!tool) {
  console.error('usage: node render_pages.mjs --tool PATH/rumora-page [--chromium PATH]');
  process.exit(2);
}
if (!fs.existsSync(chromiumPath)) {
  console.error(`FAIL: no Chromium at ${chromiumPath} (tools/setup installs Debian's chromium)`);
  process.exit(1);
}

// ---- PNG in and out, enough for a test picture and for screenshots ----

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
const crc32 = (bytes) => {
  let c = 0xffffffff;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
};
const chunk = (type, data) => {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'ascii');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
};

function solidPng(width, height, [r, g, b]) {
  const ihdr = Buffer.alloc(13);
  ihdr.writeUInt32BE(width, 0);
  ihdr.writeUInt32BE(height, 4);
  ihdr.set([8, 2, 0, 0, 0], 8);  // 8-bit RGB, no interlace
  const row = Buffer.alloc(1 + width * 3);
  for (let x = 0; x < width; x++) row.set([r, g, b], 1 + x * 3);
  const raw = Buffer.concat(Array(height).fill(row));
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', ihdr), chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0)),
  ]);
}

// Decodes an 8-bit RGB or RGBA, non-interlaced PNG (what Chromium writes).
function decodePng(png) {
  let at = 8, width = 0, height = 0, channels = 0;
  const idat = [];
  while (at < png.length) {
    const length = png.readUInt32BE(at);
    const type = png.toString('ascii', at + 4, at + 8);
    const data = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      if (data[8] !== 8 || data[12] !== 0) throw new Error('unexpected PNG form');
      channels = { 2: 3, 6: 4 }[data[9]];
      if (!channels) throw new Error(`unexpected PNG colour type ${data[9]}`);
    } else if (type === 'IDAT') {
      idat.push(data);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; i++) {
      const a = i >= channels ? pixels[y * stride + i - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
      const c = i >= channels && y > 0 ? pixels[(y - 1) * stride + i - channels] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      pixels[y * stride + i] = (line[i] + predictor) & 0xff;
    }
  }
  return { width, height, channels, pixels };
}

// Where the test picture's colour shows on a screenshot.
function magentaArea(image) {
  let count = 0, left = Infinity, top = Infinity, right = -1, bottom = -1;
  const { width, height, channels, pixels } = image;
  for (let y = 0; y < height; y++) {
    for (let x = 0, i = y * width * channels; x < width; x++, i += channels) {
      if (pixels[i] > 200 && pixels[i + 1] < 60 && pixels[i + 2] > 200) {
        count++;
        if (x < left) left = x;
        if (x > right) right = x;
        if (y < top) top = y;
        bottom = y;
      }
    }
  }
  return { count, left, top, width: right - left + 1, height: bottom - top + 1 };
}

// ---- What each page should show ----

const kMonthsJa = ['睦月', '如月', '弥生', '卯月', '皐月', '水無月', '文月', '葉月', '長月', '神無月', '霜月', '師走'];
const kMonthsEn = ['January', 'February', 'March', 'April', 'May', 'June', 'July', 'August',
  'September', 'October', 'November', 'December'];
const kHeaderJa = [' 日 ', '月', '火', '水', '木', '金', '土'];
const kHeaderEn = ['Sun', 'Mon', 'Tue', 'Wed', 'Thu', ' Fri ', 'Sat'];
const kMonthCount = { simple: 12, standard1: 3, standard2: 3, progress: 6 };
const kPicture = { width: 120, height: 80, colour: [255, 0, 255] };

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'rumora-browser-'));
const pictureFolder = path.join(work, 'pictures');

// Picture paths that once broke the address: blanks, "#", "%", quotes,
// Japanese, all of them at once, and the ":" and "\\" of POSIX names.
const picturePaths = [
  'plain/cat.png',
  'My Pictures/summer cat.png',
  'no#1/cat#2.png',
  '100%/50%25 cat.png',
  `q"uote/it's.png`,
  '写真/猫の絵.png',
  `全部 #1 %41 (x)&{y}/"ピクチャ" ?.png`,
  'shot 2024-01-01 12:34:56/back\\slash.png',
].map((relative) => path.join(pictureFolder, relative));
for (const file of picturePaths) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, solidPng(kPicture.width, kPicture.height, kPicture.colour));
}

const cases = [];
const layouts = ['simple', 'standard1', 'standard2', 'progress'];
const colours = [[150, 250, 180], [18, 52, 86], [255, 204, 0], [0, 128, 255]];
let n = 0;
for (const layout of layouts) {
  for (const language of ['ja', 'en']) {
    for (const bold of [0, 1]) {
      cases.push({
        layout, language, bold, colour: colours[n % colours.length],
        start: ['1999-06', '1999-11', '2000-01', '2023-12'][n % 4],
        font: n % 3 === 0 ? 'ＭＳ Ｐゴシック' : n % 3 === 1 ? 'DejaVu Serif' : '游ゴシック',
        picture: layout === 'simple' ? null : picturePaths[n % picturePaths.length],
        scale: [100, 150, 50, 100][n % 4],
      });
      n++;
    }
  }
}
// Every picture path in every picture layout.
for (const layout of ['standard1', 'standard2', 'progress']) {
  for (const picture of picturePaths) {
    cases.push({ layout, language: 'ja', bold: 2, colour: [200, 100, 50], start: '2024-02',
      font: 'ＭＳ Ｐゴシック', picture, scale: 100 });
  }
}
// The other grid, and a font name that tries to break out of its attribute.
cases.push({ layout: 'simple', grid: '4x3', language: 'en', bold: 1, colour: [1, 2, 3],
  start: '2004-02', font: 'Evil" onload="x" <b>&amp;', picture: null, scale: 100 });
cases.push({ layout: 'simple', language: 'ja', bold: 0, colour: [9, 9, 9], start: '2009-02',
  font: '‹b›‟x‟ ﹤i﹥ ﹠amp;', expectedFont: '?b??x? ?i? ?amp;', picture: null, scale: 100 });
// A relative picture, taken from the folder the tool runs in.
cases.push({ layout: 'standard2', language: 'en', bold: 0, colour: [5, 5, 5], start: '2020-01',
  font: 'DejaVu Serif', picture: picturePaths[0], relative: true, scale: 100 });
// The page as UTF-8 declares that instead.
cases.push({ layout: 'standard1', language: 'en', bold: 1, colour: [7, 7, 7], start: '2012-02',
  font: 'ＭＳ Ｐゴシック', picture: picturePaths[5], scale: 100, encoding: 'utf-8' });

function expectedMonths(start, count) {
  let [year, month] = start.split('-').map(Number);
  const months = [];
  for (let i = 0; i < count; i++) {
    months.push({ year, month });
    month = month === 12 ? 1 : month + 1;
    if (month === 1) year++;
  }
  return months;
}

function buildPage(c, file) {
  const options = ['--layout', c.layout, '--language', c.language, '--bold', String(c.bold),
    '--start', c.start, '--header-color', c.colour.join(','), '--font', c.font,
    '--scale', String(c.scale), '--table-border', '1', '-o', file];
  if (c.grid) options.push('--grid', c.grid);
  if (c.picture) options.push('--picture', c.relative ? path.relative(pictureFolder, c.picture) : c.picture);
  if (c.encoding) options.push('--encoding', c.encoding);
  execFileSync(tool, options, { stdio: ['ignore', 'ignore', 'inherit'], cwd: pictureFolder });
}

// Collects what the browser made of the page; runs inside the page.
function collectFacts() {
  const style = (element) => getComputedStyle(element);
  const monthTables = [...document.querySelectorAll('table')]
    .filter((table) => table.rows.length > 0 && table.rows[0].cells[0]?.colSpan === 7)
    .map((table) => {
      const weeks = [...table.rows].filter((row) => row.align === 'right');
      const header = table.rows[1]?.align === 'center' ? table.rows[1] : null;
      const days = [];
      let blanks = 0;
      weeks.forEach((row, w) => {
        for (const cell of row.cells) {
          const text = cell.textContent;
          if (text === '' && w === 0) blanks++;
          if (text === '') continue;
          const shown = cell.firstElementChild ?? cell;
          days.push({ text, column: cell.cellIndex + 1, colour: style(shown).color,
            weight: style(shown).fontWeight, cellWeight: style(cell).fontWeight });
        }
      });
      const box = table.getBoundingClientRect();
      return {
        left: Math.round(box.left), top: Math.round(box.top),
        right: Math.round(box.right), bottom: Math.round(box.bottom),
        title: table.rows[0].cells[0].textContent,
        titleFont: style(table.rows[0].cells[0]).fontFamily,
        header: header ? [...header.cells].map((cell) => cell.textContent) : null,
        headerBackground: header ? style(header).backgroundColor : null,
        headerColours: header ? [...header.cells].map((cell) => style(cell.firstElementChild ?? cell).color) : null,
        days, blanks,
      };
    });
  const images = [...document.images].map((img) => {
    const box = img.getBoundingClientRect();
    return { complete: img.complete, naturalWidth: img.naturalWidth, naturalHeight: img.naturalHeight,
      width: box.width, height: box.height, left: box.left + scrollX, top: box.top + scrollY,
      right: box.right + scrollX, bottom: box.bottom + scrollY };
  });
  return {
    characterSet: document.characterSet,
    font: document.querySelector('font[face]')?.getAttribute('face') ?? null,
    fontElements: document.querySelectorAll('font[face]').length,
    boldElements: document.querySelectorAll('b, i').length,
    monthTables, images,
    background: style(document.body).backgroundImage,
    viewportWidth: document.documentElement.clientWidth,
    pageHeight: document.documentElement.scrollHeight,
    viewportHeight: document.documentElement.clientHeight,
  };
}

// ---- The run ----

let checks = 0;
const failures = [];
function check(condition, what) {
  checks++;
  if (!condition) failures.push(what);
}
const rgb = ([r, g, b]) => `rgb(${r}, ${g}, ${b})`;

const profile = fs.mkdtempSync(path.join(work, 'profile-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: chromiumPath,
  headless: true,
  viewport: { width: 1280, height: 1600 },
  deviceScaleFactor: 1,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--disable-quic'],
});
let pagesRendered = 0;
try {
  const page = await context.newPage();
  for (const [index, c] of cases.entries()) {
    const file = path.join(work, `page ${index} ${c.layout}.html`);
    buildPage(c, file);
    const months = expectedMonths(c.start, kMonthCount[c.layout]);
    const label = `#${index} ${c.layout} ${c.language} bold ${c.bold}` +
      (c.picture ? ` picture ${JSON.stringify(path.relative(pictureFolder, c.picture))}` : '');
    await page.goto(new URL(`file://${file}`).href, { waitUntil: 'load' });
    const facts = await page.evaluate(collectFacts);
    pagesRendered++;
    const characterSet = c.encoding === 'utf-8' ? 'UTF-8' : 'Shift_JIS';
    check(facts.characterSet === characterSet, `${label}: decoded as ${facts.characterSet}, not ${characterSet}`);
    const font = c.expectedFont ?? c.font;
    check(facts.font === font, `${label}: font face ${JSON.stringify(facts.font)}, expected ${JSON.stringify(font)}`);
    check(facts.fontElements === 1 && facts.boldElements === 0,
      `${label}: inserted font name made markup (${facts.fontElements} font, ${facts.boldElements} b/i)`);

    check(facts.monthTables.length === months.length,
      `${label}: ${facts.monthTables.length} month tables, expected ${months.length}`);
    // Arrangement: rows of months as the layout puts them, in reading order.
    const tables = facts.monthTables;
    // Progress centres each column on its own, so count rows in one column.
    const rows = [...new Set(tables.slice(0, c.layout === 'progress' ? 3 : undefined).map((t) => t.top))].length;
    const columns = [...new Set(tables.map((t) => t.left))].length;
    const expectedGrid = {
      simple: c.grid === '4x3' ? [4, 3] : [3, 4], standard1: [1, 3], standard2: [3, 1], progress: [3, 2],
    }[c.layout];
    check(rows === expectedGrid[0] && columns === expectedGrid[1],
      `${label}: months in ${rows} rows and ${columns} columns, expected ${expectedGrid.join(' and ')}`);
    const inReadingOrder = c.layout === 'progress'
      ? tables.every((t, i) => i % 3 === 0 || t.top > tables[i - 1].top) && tables[3]?.left > tables[0].left
      : tables.every((t, i) => i === 0 || t.top > tables[i - 1].top ||
        (t.top === tables[i - 1].top && t.left > tables[i - 1].left));
    check(inReadingOrder, `${label}: months out of order`);

    facts.monthTables.forEach((table, i) => {
      const { year, month } = months[i] ?? {};
      const where = `${label}: ${year}.${month}`;
      const names = c.language === 'ja' ? kMonthsJa : kMonthsEn;
      check(table.title === `${year}.${month}  - ${names[month - 1]} -`, `${where}: title ${JSON.stringify(table.title)}`);
      const header = c.language === 'ja' ? kHeaderJa : kHeaderEn;
      check(JSON.stringify(table.header) === JSON.stringify(header), `${where}: header ${JSON.stringify(table.header)}`);
      // The month text asks for the face by its own name (one of letters
      // and blanks; Chromium drops a face holding "?" or ";").
      if (/^[\p{L}\p{N} ]+$/u.test(font)) {
        check(table.titleFont.replace(/^"(.*)"$/, '$1') === font, `${where}: font-family ${table.titleFont}, expected ${font}`);
      }
      check(table.headerBackground === rgb(c.colour), `${where}: header row ${table.headerBackground}, expected ${rgb(c.colour)}`);
      check(table.headerColours?.[0] === 'rgb(255, 0, 0)' && table.headerColours?.[6] === 'rgb(0, 0, 255)',
        `${where}: weekday header colours ${table.headerColours}`);

      const length = new Date(year, month, 0).getDate();
      const firstWeekday = new Date(year, month - 1, 1).getDay();
      check(table.blanks === firstWeekday, `${where}: ${table.blanks} leading blanks, expected ${firstWeekday}`);
      check(table.days.length === length, `${where}: ${table.days.length} day cells, expected ${length}`);
      table.days.forEach((day, d) => {
        const weekday = new Date(year, month - 1, d + 1).getDay();
        const colour = weekday === 0 ? 'rgb(255, 0, 0)' : weekday === 6 ? 'rgb(0, 0, 255)' : 'rgb(0, 0, 0)';
        const weight = c.bold ? '700' : '400';
        check(day.text === String(d + 1) && day.column === weekday + 1,
          `${where}: cell ${d + 1} reads ${JSON.stringify(day.text)} in column ${day.column}`);
        check(day.colour === colour, `${where}-${d + 1}: colour ${day.colour}, expected ${colour}`);
        check(day.weight === weight && day.cellWeight === weight,
          `${where}-${d + 1}: font-weight ${day.weight}/${day.cellWeight}, expected ${weight}`);
      });
    });

    if (!c.picture) continue;
    // The picture must show, for every path, whatever the page's decoding.
    const screenshot = decodePng(await page.screenshot({ fullPage: true }));
    const shown = magentaArea(screenshot);
    if (c.layout === 'progress') {
      check(/^url\("file:\/\/\/.+"\)$/.test(facts.background), `${label}: body background ${facts.background}`);
      check(facts.pageHeight <= facts.viewportHeight, `${label}: page taller than the window`);
      // The whole picture paints, centred; the months beside it may hide a little.
      check(shown.width === kPicture.width && shown.height === kPicture.height &&
        shown.count >= 0.9 * kPicture.width * kPicture.height,
        `${label}: background shows ${shown.count} pixels in ${shown.width}x${shown.height}`);
      const months = facts.monthTables;
      check(months.slice(0, 3).every((t) => t.right <= shown.left) &&
        months.slice(3).every((t) => t.left >= shown.left + shown.width),
        `${label}: months do not stand left and right of the picture`);
      const centreX = shown.left + shown.width / 2;
      check(Math.abs(centreX - facts.viewportWidth / 2) <= 1,
        `${label}: background centred at x=${centreX}, window centre ${facts.viewportWidth / 2}`);
    } else {
      const w = Math.floor(((c.scale * 0.01) * (kPicture.width * 15)) / 15);
      const h = Math.floor(((c.scale * 0.01) * (kPicture.height * 15)) / 15);
      const img = facts.images[0];
      check(facts.images.length === 1 && img.complete && img.naturalWidth === kPicture.width &&
        img.naturalHeight === kPicture.height,
        `${label}: picture not loaded ${JSON.stringify(facts.images)}`);
      check(img && img.width === w && img.height === h, `${label}: picture laid out ${img?.width}x${img?.height}, expected ${w}x${h}`);
      const months = facts.monthTables;
      const placed = c.layout === 'standard1'
        ? months.every((t) => t.top >= img.bottom)
        : months.every((t) => t.left >= img.right);
      check(placed, `${label}: picture not ${c.layout === 'standard1' ? 'above' : 'left of'} the months`);
      check(shown.count === w * h && shown.width === w && shown.height === h &&
        Math.abs(shown.left - img.left) <= 1 && Math.abs(shown.top - img.top) <= 1,
        `${label}: picture paints ${shown.count} pixels in ${shown.width}x${shown.height} at ${shown.left},${shown.top}`);
    }
  }
} finally {
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
}

for (const failure of failures.slice(0, 40)) console.log(`FAIL ${failure}`);
if (failures.length > 40) console.log(`... and ${failures.length - 40} more`);
console.log(`${cases.length} pages built, ${pagesRendered} renderings, ${checks} checks`);
console.log(`${checks - failures.length} passed, ${failures.length} failed`);
process.exit(failures.length === 0 ? 0 : 1);
