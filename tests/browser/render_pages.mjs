// Renders pages that rumora-page writes in the system's Chromium and checks
// what only a browser can tell: the text decoded as the page declares, how
// the months are arranged, what each day cell shows and how, and that the
// picture really paints at its size in all three picture layouts.
//
// Usage: node render_pages.mjs --tool PATH/rumora-page [--chromium PATH]
//
// Each page loads from its file:// address, as a user's browser opens it, so
// the file:///... picture may load. English pages, whose only non-ASCII text
// is the font name, are read as Shift_JIS too and the font applies by name.

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { chromium } from 'playwright-core';

const args = process.argv.slice(2);
const option = (name, fallback) => (args.includes(name) ? args[args.indexOf(name) + 1] : fallback);
const tool = option('--tool');
const chromiumPath = option('--chromium', '/usr/bin/chromium');
if (!tool || !fs.existsSync(chromiumPath)) {
  console.error(`usage: node render_pages.mjs --tool PATH/rumora-page [--chromium PATH]
(needs Chromium at ${chromiumPath}; tools/setup installs Debian's chromium)`);
  process.exit(1);
}

// ---- What each page should show ----

const kMonths = {
  ja: ['睦月', '如月', '弥生', '卯月', '皐月', '水無月', '文月', '葉月', '長月', '神無月', '霜月',
    '師走'],
  en: ['January', 'February', 'March', 'April', 'May', 'June', 'July', 'August', 'September',
    'October', 'November', 'December'],
};
const kHeader = {
  ja: [' 日 ', '月', '火', '水', '木', '金', '土'], en: ['Sun', 'Mon', 'Tue', 'Wed', 'Thu', ' Fri ', 'Sat'],
};
// Months in the page, and their rows and columns on the screen.
const kGrid = { simple: [3, 4], '4x3': [4, 3], standard1: [1, 3], standard2: [3, 1], progress: [3, 2] };
const kPicture = { width: 120, height: 80 };

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'rumora-browser-'));
const pictureFolder = path.join(work, 'pictures');
// Picture paths that once broke the address: blanks, "#", "%", quotes,
// Japanese, all of them at once, and the ":" and "\\" of POSIX names.
const picturePaths = ['plain/cat.png', 'My Pictures/summer cat.png', 'no#1/cat#2.png',
  '100%/50%25 cat.png', `q"uote/it's.png`, '写真/猫の絵.png', `全部 #1 %41 (x)&{y}/"ピクチャ" ?.png`,
  'shot 2024-01-01 12:34:56/back\\slash.png'].map((relative) => path.join(pictureFolder, relative));

const cases = [];
for (const layout of ['simple', 'standard1', 'standard2', 'progress']) {
  for (const language of ['ja', 'en']) {
    for (const bold of [0, 1]) {
      const n = cases.length;
      cases.push({ layout, language, bold,
        colour: [[150, 250, 180], [18, 52, 86], [255, 204, 0], [0, 128, 255]][n % 4],
        start: ['1999-06', '1999-11', '2000-01', '2023-12'][n % 4],
        font: ['ＭＳ Ｐゴシック', 'DejaVu Serif', '游ゴシック'][n % 3], scale: [100, 150, 50, 100][n % 4],
        picture: layout === 'simple' ? null : picturePaths[n % picturePaths.length] });
    }
  }
}
const plain = {
  language: 'ja', bold: 2, colour: [200, 100, 50], start: '2024-02', font: 'ＭＳ Ｐゴシック', scale: 100,
};
// Every picture path in every picture layout.
for (const layout of ['standard1', 'standard2', 'progress']) {
  for (const picture of picturePaths) cases.push({ ...plain, layout, picture });
}
cases.push(
  // The other grid, and font names that try to break out of their attribute.
  { ...plain, layout: 'simple', grid: '4x3', language: 'en', start: '2004-02', font: 'Evil" onload="x" <b>&amp;' },
  { ...plain, layout: 'simple', bold: 0, start: '2009-02', font: '‹b›‟x‟ ﹤i﹥ ﹠amp;',
    expectedFont: '?b??x? ?i? ?amp;' },
  // A relative picture, taken from the folder the tool runs in.
  { ...plain, layout: 'standard2', language: 'en', start: '2020-01', font: 'DejaVu Serif',
    picture: picturePaths[0], relative: true },
  // The page as UTF-8 declares that instead.
  { ...plain, layout: 'standard1', language: 'en', start: '2012-02', picture: picturePaths[5], encoding: 'utf-8' },
);

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
  const shown = (cell) => style(cell.firstElementChild ?? cell);
  const box = (element) => {
    const { left, top, right, bottom } = element.getBoundingClientRect();
    return { left: left + scrollX, top: top + scrollY, right: right + scrollX, bottom: bottom + scrollY,
      width: right - left, height: bottom - top };
  };
  // Each month's table: its place, and what it shows.
  const monthTables = [...document.querySelectorAll('table')]
    .filter((table) => table.rows[0]?.cells[0]?.colSpan === 7)
    .map((table) => {
      const header = table.rows[1]?.align === 'center' ? [...table.rows[1].cells] : [];
      const cells = [...table.rows].filter((row) => row.align === 'right').flatMap((row) => [...row.cells]);
      return { ...box(table), titleFont: style(table.rows[0].cells[0]).fontFamily.replace(/^"(.*)"$/, '$1'),
        shows: { title: table.rows[0].cells[0].textContent, header: header.map((cell) => cell.textContent),
          headerBackground: header[0] && style(header[0].parentElement).backgroundColor,
          weekendHeaders: [header[0], header[6]].map((cell) => cell && shown(cell).color),
          blanks: cells.findIndex((cell) => cell.textContent !== ''),
          days: cells.filter((cell) => cell.textContent !== '').map((cell) => ({
            text: cell.textContent, column: cell.cellIndex + 1, colour: shown(cell).color,
            weight: `${shown(cell).fontWeight}/${style(cell).fontWeight}` })) } };
    });
  const images = [...document.images].map((img) => ({ complete: img.complete, naturalWidth: img.naturalWidth,
    naturalHeight: img.naturalHeight, ...box(img) }));
  return {
    characterSet: document.characterSet,
    fonts: [...document.querySelectorAll('font[face], b, i')].map((e) => e.getAttribute('face')),
    monthTables, images,
    background: style(document.body).backgroundImage,
    viewportWidth: document.documentElement.clientWidth,
    tallerThanWindow: document.documentElement.scrollHeight > document.documentElement.clientHeight,
  };
}

// Where magenta, the test picture's colour, shows on a screenshot; runs in a
// blank page of its own.
async function magentaArea(base64) {
  const image = new Image();
  image.src = `data:image/png;base64,${base64}`;
  await image.decode();
  const { width, height } = image;
  const canvas = new OffscreenCanvas(width, height);
  const context = canvas.getContext('2d');
  context.drawImage(image, 0, 0);
  const pixels = context.getImageData(0, 0, width, height).data;
  let count = 0, left = Infinity, top = Infinity, right = -1, bottom = -1;
  for (let i = 0; i < pixels.length; i += 4) {
    if (pixels[i] > 200 && pixels[i + 1] < 60 && pixels[i + 2] > 200) {
      const x = (i / 4) % width, y = Math.floor(i / 4 / width);
      count++;
      [left, right, top, bottom] = [Math.min(left, x), Math.max(right, x), Math.min(top, y), y];
    }
  }
  return { count, left, top, width: right - left + 1, height: bottom - top + 1 };
}

// ---- The run ----

let checks = 0;
const failures = [];
function check(condition, what) {
  checks++;
  if (!condition) failures.push(what);
}
// A picture of `type` from the browser's own encoder.
async function canvasPicture(blank, width, height, type) {
  return Buffer.from(await blank.evaluate(({ width, height, type }) => {
    const canvas = Object.assign(document.createElement('canvas'), { width, height });
    const context = canvas.getContext('2d');
    context.fillStyle = '#f0f';
    context.fillRect(0, 0, width, height);
    return canvas.toDataURL(type).split(',')[1];
  }, { width, height, type }), 'base64');
}

// A two-colour GIF of one frame at (left, top) on its screen. Each 3-bit
// code follows a clear code, so the code size never grows.
function gif(screenWidth, screenHeight, width, height, left = 0, top = 0) {
  const le = (value) => [value & 0xff, value >> 8];
  const head = [...Buffer.from('GIF89a'), ...le(screenWidth), ...le(screenHeight), 0x80, 0, 0,
    0xff, 0, 0xff, 0, 0, 0, 0x2c, ...le(left), ...le(top), ...le(width), ...le(height), 0, 2];
  const data = Buffer.alloc(Math.ceil((width * height * 6 + 3) / 8));
  let [bits, count, at] = [0, 0, 0];
  const put = (code) => {
    bits |= code << count;
    for (count += 3; count >= 8; count -= 8, bits >>= 8) data[at++] = bits & 0xff;
  };
  for (let i = 0; i < width * height; i++) put(4), put(i & 1);
  put(5);
  if (count > 0) data[at++] = bits & 0xff;
  const blocks = [];
  for (let from = 0; from < at; from += 255) {
    const block = data.subarray(from, Math.min(at, from + 255));
    blocks.push(Buffer.from([block.length]), block);
  }
  return Buffer.concat([Buffer.from(head), ...blocks, Buffer.from([0, 0x3b])]);
}

// Compares as JSON, and shows where the two first differ.
function same(actual, expected, what) {
  const [a, e] = [JSON.stringify(actual), JSON.stringify(expected)];
  let at = 0;
  while (at < a.length && a[at] === e[at]) at++;
  const near = (text) => text.slice(Math.max(0, at - 60), at + 60);
  check(a === e, `${what}: ${near(a)} where expected ${near(e)}`);
}
const rgb = ([r, g, b]) => `rgb(${r}, ${g}, ${b})`;
const kRed = rgb([255, 0, 0]), kBlue = rgb([0, 0, 255]);

const context = await chromium.launchPersistentContext(fs.mkdtempSync(path.join(work, 'profile-')), {
  executablePath: chromiumPath, headless: true, viewport: { width: 1280, height: 1600 }, deviceScaleFactor: 1,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-quic'],
});
try {
  const [page, blank] = [await context.newPage(), await context.newPage()];
  // The test picture, solid magenta, written by the browser's own encoder.
  const picture = Buffer.from(await blank.evaluate(({ width, height }) => {
    const canvas = document.createElement('canvas');
    Object.assign(canvas, { width, height });
    const context = canvas.getContext('2d');
    context.fillStyle = '#f0f';
    context.fillRect(0, 0, width, height);
    return canvas.toDataURL('image/png').split(',')[1];
  }, kPicture), 'base64');
  for (const file of picturePaths) {
    fs.mkdirSync(path.dirname(file), { recursive: true });
    fs.writeFileSync(file, picture);
  }

  for (const [index, c] of cases.entries()) {
    const file = path.join(work, `page ${index} ${c.layout}.html`);
    buildPage(c, file);
    const label = `#${index} ${c.layout} ${c.language} bold ${c.bold}` +
      (c.picture ? ` picture ${JSON.stringify(path.relative(pictureFolder, c.picture))}` : '');
    await page.goto(new URL(`file://${file}`).href, { waitUntil: 'load' });
    const facts = await page.evaluate(collectFacts);
    same(facts.characterSet, c.encoding === 'utf-8' ? 'UTF-8' : 'Shift_JIS', `${label}: decoded as`);
    // One font element with the face asked for; the name made no markup.
    const font = c.expectedFont ?? c.font;
    same(facts.fonts, [font], `${label}: font faces`);

    // Arrangement: rows of months as the layout puts them, in reading order.
    const tables = facts.monthTables;
    const [rows, columns] = kGrid[c.grid ?? c.layout];
    // Progress centres each column on its own, so count rows in one column.
    const shownRows = new Set(tables.slice(0, c.layout === 'progress' ? 3 : undefined).map((t) => t.top)).size;
    same({ months: tables.length, rows: shownRows, columns: new Set(tables.map((t) => t.left)).size },
      { months: rows * columns, rows, columns }, `${label}: arrangement`);
    const inReadingOrder = c.layout === 'progress'
      ? tables.every((t, i) => i % 3 === 0 || t.top > tables[i - 1].top) && tables[3]?.left > tables[0].left
      : tables.every((t, i) => i === 0 || t.top > tables[i - 1].top ||
        (t.top === tables[i - 1].top && t.left > tables[i - 1].left));
    check(inReadingOrder, `${label}: months out of order`);

    let [year, month] = c.start.split('-').map(Number);
    for (const table of tables) {
      const where = `${label}: ${year}.${month}`;
      const [length, firstWeekday] = [new Date(year, month, 0).getDate(), new Date(year, month - 1, 1).getDay()];
      same(table.shows, {
        title: `${year}.${month}  - ${kMonths[c.language][month - 1]} -`, header: kHeader[c.language],
        headerBackground: rgb(c.colour), weekendHeaders: [kRed, kBlue], blanks: firstWeekday,
        days: Array.from({ length }, (_, d) => {
          const column = ((firstWeekday + d) % 7) + 1;
          return { text: String(d + 1), column, colour: { 1: kRed, 7: kBlue }[column] ?? rgb([0, 0, 0]),
            weight: c.bold ? '700/700' : '400/400' };
        }),
      }, where);
      // The month text asks for the face by its own name (one of letters
      // and blanks; Chromium drops a face holding "?" or ";").
      if (/^[\p{L}\p{N} ]+$/u.test(font)) same(table.titleFont, font, `${where}: font-family`);
      [year, month] = month === 12 ? [year + 1, 1] : [year, month + 1];
    }

    if (!c.picture) continue;
    // The picture must show, for every path, whatever the page's decoding.
    const shown = await blank.evaluate(magentaArea, (await page.screenshot({ fullPage: true })).toString('base64'));
    if (c.layout === 'progress') {
      check(/^url\("file:\/\/\/.+"\)$/.test(facts.background), `${label}: body background ${facts.background}`);
      check(!facts.tallerThanWindow, `${label}: page taller than the window`);
      // The whole picture paints, centred; the months beside it may hide a little.
      check(shown.width === kPicture.width && shown.height === kPicture.height &&
        shown.count >= 0.9 * kPicture.width * kPicture.height,
        `${label}: background shows ${shown.count} pixels in ${shown.width}x${shown.height}`);
      check(tables.slice(0, 3).every((t) => t.right <= shown.left) &&
        tables.slice(3).every((t) => t.left >= shown.left + shown.width),
        `${label}: months do not stand left and right of the picture`);
      const centreX = shown.left + shown.width / 2;
      check(Math.abs(centreX - facts.viewportWidth / 2) <= 1,
        `${label}: background centred at x=${centreX}, window centre ${facts.viewportWidth / 2}`);
    } else {
      const [w, h] = [kPicture.width, kPicture.height].map((side) => Math.floor((c.scale * 0.01 * (side * 15)) / 15));
      const img = facts.images[0];
      check(facts.images.length === 1 && img.complete && img.naturalWidth === kPicture.width &&
        img.naturalHeight === kPicture.height && img.width === w && img.height === h,
        `${label}: picture ${JSON.stringify(facts.images)}, expected loaded at ${w}x${h}`);
      check(c.layout === 'standard1' ? tables.every((t) => t.top >= img.bottom) : tables.every((t) => t.left >= img.right),
        `${label}: picture not ${c.layout === 'standard1' ? 'above' : 'left of'} the months`);
      check(shown.count === w * h && shown.width === w && shown.height === h &&
        Math.abs(shown.left - img.left) <= 1 && Math.abs(shown.top - img.top) <= 1,
        `${label}: picture paints ${shown.count} pixels in ${shown.width}x${shown.height} at ${shown.left},${shown.top}`);
    }
  }

  // Pictures measured as Chromium draws them: GIF and WebP beyond Qt's
  // limit, a GIF frame wider than its screen, and a tiny one at 10 %.
  const sized = [['big.webp', await canvasPicture(blank, 5000, 4000, 'image/webp')],
    ['big.gif', gif(4097, 4096, 4097, 4096)], ['over.gif', gif(10, 10, 100, 60)],
    ['beside.gif', gif(10, 10, 20, 5, 5, 9)], ['tiny.png', await canvasPicture(blank, 9, 9, 'image/png'), 10]];
  for (const [name, bytes, scale = 100] of sized) {
    const [file, html] = [path.join(pictureFolder, name), path.join(work, `${name}.html`)];
    fs.writeFileSync(file, bytes);
    execFileSync(tool, ['--layout', 'standard1', '--picture', file, '--scale', String(scale), '-o', html]);
    await page.goto(new URL(`file://${html}`).href, { waitUntil: 'load' });
    const img = await page.evaluate(() => {
      const [shown] = document.images;
      return { natural: [shown.naturalWidth, shown.naturalHeight],
        written: [Number(shown.getAttribute('width')), Number(shown.getAttribute('height'))] };
    });
    const expected = img.natural.map((side) => Math.max(1, Math.floor(side * scale / 100)));
    same(img.written, expected, `${name} at ${scale}%: written size against Chromium's natural size`);
  }

  // Printing: every layout with every almanac, holiday, week and closing
  // choice on, a large font and a tall picture at 200 %, fits one sheet of
  // A4 and one of Letter (pdfinfo counts the sheets).
  const tall = path.join(pictureFolder, 'tall.png');
  fs.writeFileSync(tall, await canvasPicture(blank, 1200, 1900, 'image/png'));
  const every = ['--holidays', '--rokuyo', '--sekki', '--zassetsu', '--moon', '--wareki', '--week-start', 'monday',
    '--closed', 'wed,2tue', '--bold', '1', '--table-border', '1', '--font', 'DejaVu Serif', '--picture', tall,
    '--scale', '200'];
  for (const layout of [['simple'], ['simple', '--grid', '4x3'], ['standard1'], ['standard2'], ['progress']]) {
    for (const [language, start] of [['ja', '2026-08'], ['en', '2027-05']]) {
      const html = path.join(work, `print ${layout.join(' ')} ${language}.html`);
      execFileSync(tool, ['--layout', ...layout, '--language', language, '--start', start, ...every, '-o', html]);
      await page.goto(new URL(`file://${html}`).href, { waitUntil: 'load' });
      for (const format of ['A4', 'Letter']) {
        const pdf = path.join(work, 'print.pdf');
        fs.writeFileSync(pdf, await page.pdf({ format }));
        const sheets = /^Pages:\s+(\d+)/m.exec(execFileSync('pdfinfo', [pdf], { encoding: 'utf8' }))?.[1];
        same(sheets, '1', `${layout.join(' ')} ${language} from ${start} printed on ${format}: sheets`);
      }
    }
  }
} finally {
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
}

for (const failure of failures.slice(0, 40)) console.log(`FAIL ${failure}`);
if (failures.length > 40) console.log(`... and ${failures.length - 40} more`);
console.log(`${cases.length} pages, ${checks} checks, ${checks - failures.length} passed, ${failures.length} failed`);
process.exit(failures.length === 0 ? 0 : 1);
