// The six quality plots of the desktop, drawn as SVG from the series of a run's
// quality report: sky tracks with slips, C/N0 against elevation, MP1 and MP2,
// satellites in view, the position about its mean against time, and its
// horizontal scatter.

const NS = 'http://www.w3.org/2000/svg';
const W = 460;
const H = 300;
const M = { left: 56, right: 12, top: 28, bottom: 40 };
const COLOURS = ['#1f77b4', '#d62728', '#2ca02c', '#9467bd', '#8c564b', '#e377c2', '#17becf', '#7f7f7f',
  '#bcbd22', '#ff7f0e', '#393b79', '#637939', '#843c39', '#7b4173', '#3182bd', '#31a354'];

const colourOf = (prn) => COLOURS[(prn - 1) % COLOURS.length];

function el(name, attributes = {}, text) {
  const node = document.createElementNS(NS, name);
  for (const [k, v] of Object.entries(attributes)) node.setAttribute(k, v);
  if (text !== undefined) node.textContent = text;
  return node;
}

function svg(title, id) {
  const root = el('svg', { viewBox: `0 0 ${W} ${H}`, width: W, height: H, class: 'chart', id: `chart-${id}` });
  root.append(el('text', { x: W / 2, y: 17, 'text-anchor': 'middle', class: 'chart-title' }, title));
  return root;
}

// Round tick values covering [low, high].
function ticks(low, high, count = 6) {
  const span = high - low || 1;
  const raw = span / count;
  const power = 10 ** Math.floor(Math.log10(raw));
  const step = [1, 2, 5, 10].map((m) => m * power).find((s) => s >= raw);
  const out = [];
  for (let v = Math.ceil(low / step) * step; v <= high + step * 1e-9; v += step) out.push(Number(v.toFixed(10)));
  return { values: out, low: Math.floor(low / step) * step, high: Math.ceil(high / step) * step };
}

function extent(arrays, fallback = [0, 1]) {
  let low = Infinity;
  let high = -Infinity;
  for (const a of arrays) for (const v of a) if (v !== null && Number.isFinite(v)) { low = Math.min(low, v); high = Math.max(high, v); }
  if (low === Infinity) return fallback;
  if (low === high) return [low - 1, high + 1];
  return [low, high];
}

// A chart of x/y series: [{name, x, y, colour, line}]; xRange, yRange fixed or from the data.
function xyChart(id, title, xLabel, yLabel, series, { xRange, yRange, square } = {}) {
  const root = svg(title, id);
  const xr = ticks(...(xRange || extent(series.map((s) => s.x))));
  const yr = ticks(...(yRange || extent(series.map((s) => s.y))));
  if (xRange) [xr.low, xr.high] = xRange;
  if (yRange) [yr.low, yr.high] = yRange;
  let pw = W - M.left - M.right;
  const ph = H - M.top - M.bottom;
  if (square) pw = ph;
  const sx = (v) => M.left + ((v - xr.low) / (xr.high - xr.low)) * pw;
  const sy = (v) => M.top + ph - ((v - yr.low) / (yr.high - yr.low)) * ph;
  const grid = el('g', { class: 'grid' });
  for (const v of xr.values) if (v >= xr.low && v <= xr.high) {
    grid.append(el('line', { x1: sx(v), x2: sx(v), y1: M.top, y2: M.top + ph }));
    grid.append(el('text', { x: sx(v), y: M.top + ph + 14, 'text-anchor': 'middle' }, String(v)));
  }
  for (const v of yr.values) if (v >= yr.low && v <= yr.high) {
    grid.append(el('line', { x1: M.left, x2: M.left + pw, y1: sy(v), y2: sy(v) }));
    grid.append(el('text', { x: M.left - 4, y: sy(v) + 4, 'text-anchor': 'end' }, String(v)));
  }
  grid.append(el('rect', { x: M.left, y: M.top, width: pw, height: ph, class: 'frame' }));
  grid.append(el('text', { x: M.left + pw / 2, y: H - 6, 'text-anchor': 'middle' }, xLabel));
  grid.append(el('text', { x: 12, y: M.top + ph / 2, 'text-anchor': 'middle', transform: `rotate(-90 12 ${M.top + ph / 2})` }, yLabel));
  root.append(grid);
  const legend = el('g', { class: 'legend' });
  series.forEach((s, k) => {
    if (s.line) {
      let d = '';
      let pen = 'M';
      for (let i = 0; i < s.x.length; ++i) {
        if (s.y[i] === null || !Number.isFinite(s.y[i])) { pen = 'M'; continue; }
        d += `${pen}${sx(s.x[i]).toFixed(1)},${sy(s.y[i]).toFixed(1)}`;
        pen = 'L';
      }
      root.append(el('path', { d, stroke: s.colour, fill: 'none', 'stroke-width': 1.2 }));
    } else {
      const g = el('g', { fill: s.colour });
      for (let i = 0; i < s.x.length; ++i) {
        if (s.y[i] === null || !Number.isFinite(s.y[i]) || s.x[i] === null) continue;
        g.append(el('circle', { cx: sx(s.x[i]).toFixed(1), cy: sy(s.y[i]).toFixed(1), r: s.size || 1.6 }));
      }
      root.append(g);
    }
    if (s.name) {
      const lx = M.left + pw - 70;
      const ly = M.top + 12 + 13 * k;
      legend.append(el('rect', { x: lx, y: ly - 8, width: 9, height: 9, fill: s.colour }));
      legend.append(el('text', { x: lx + 13, y: ly }, s.name));
    }
  });
  root.append(legend);
  return root;
}

// Sky plot: elevation rings, azimuth clockwise from north; tracks per satellite, slips marked.
function skyChart(series) {
  const root = svg('Sky tracks of the satellites, with cycle slips', 'sky');
  const cx = W / 2;
  const cy = (H + M.top) / 2;
  const r = (H - M.top - 40) / 2;
  const at = (az, elev) => {
    const rr = r * (1 - elev / 90);
    const a = (az * Math.PI) / 180;
    return [cx + rr * Math.sin(a), cy - rr * Math.cos(a)];
  };
  const grid = el('g', { class: 'grid' });
  for (const e of [0, 30, 60]) grid.append(el('circle', { cx, cy, r: r * (1 - e / 90), fill: 'none' }));
  for (const [label, az] of [['N', 0], ['E', 90], ['S', 180], ['W', 270]]) {
    const [x, y] = at(az, -6);
    grid.append(el('text', { x, y: y + 4, 'text-anchor': 'middle' }, label));
  }
  root.append(grid);
  const s = series.satellites;
  const tracks = el('g');
  for (let i = 0; i < s.time.length; ++i) {
    if (s.elevation[i] === null || s.azimuth[i] === null || s.elevation[i] < 0) continue;
    const [x, y] = at(s.azimuth[i], s.elevation[i]);
    tracks.append(el('circle', { cx: x.toFixed(1), cy: y.toFixed(1), r: 1.3, fill: colourOf(s.prn[i]) }));
  }
  root.append(tracks);
  const slips = el('g', { class: 'slips' });
  const sl = series.slips;
  for (let i = 0; i < sl.time.length; ++i) {
    if (sl.elevation[i] === null || sl.azimuth[i] === null) continue;
    const [x, y] = at(sl.azimuth[i], sl.elevation[i]);
    slips.append(el('rect', { x: x - 3, y: y - 3, width: 6, height: 6, fill: sl.found[i] ? '#000' : '#e6b800' }));
  }
  root.append(slips);
  root.append(el('text', { x: 8, y: H - 8, class: 'note' }, 'black: slip found, yellow: loss of lock flagged'));
  return root;
}

// The six charts of series (and the quality figures q), as SVG elements.
export function qualityCharts(series, q) {
  const hours = (t) => t.map((v) => v / 3600);
  const s = series.satellites;
  const e = series.epochs;
  const p95 = q && q.position && q.position.p95_horizontal;
  return [
    skyChart(series),
    xyChart('cn0', 'C/N0 against elevation', 'elevation (degrees)', 'C/N0 (dB-Hz)',
      [{ x: s.elevation, y: s.cn0, colour: '#1f77b4' }], { xRange: [0, 90] }),
    xyChart('multipath', 'Multipath MP1 and MP2', 'hours from the first epoch', 'm',
      [{ name: 'MP1', x: hours(s.time), y: s.mp1, colour: '#1f77b4' },
        { name: 'MP2', x: hours(s.time), y: s.mp2, colour: '#d62728' }]),
    xyChart('satellites', 'Satellites in view', 'hours from the first epoch', 'satellites',
      [{ x: hours(e.time), y: e.satellites, colour: '#2ca02c', line: true }]),
    xyChart('position-time', 'Position about the mean', 'hours from the first epoch', 'm',
      [{ name: 'north', x: hours(e.time), y: e.north, colour: '#1f77b4', line: true },
        { name: 'east', x: hours(e.time), y: e.east, colour: '#2ca02c', line: true },
        { name: 'up', x: hours(e.time), y: e.up, colour: '#d62728', line: true }]),
    xyChart('position-scatter', `Horizontal scatter of the fixes${p95 ? ` (95 %: ${p95.toFixed(2)} m)` : ''}`,
      'east (m)', 'north (m)', [{ x: e.east, y: e.north, colour: '#9467bd' }], { square: true }),
  ];
}
