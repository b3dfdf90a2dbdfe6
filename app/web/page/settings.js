// The settings of a run: the command line's long options in camelCase, each turned
// into its option by one rule, so a new option of the command line is one line of
// FIELDS below (and nothing more) to reach the page.

// The page's form: key (the option in camelCase), its label, and its kind:
// 'text' with a remembered history, 'number', 'select' with its choices, 'check'.
export const HEADER_FIELDS = [
  { key: 'marker', label: 'Marker name', kind: 'text', history: true },
  { key: 'markerNumber', label: 'Marker number', kind: 'text', history: true },
  { key: 'observer', label: 'Observer', kind: 'text', history: true },
  { key: 'agency', label: 'Agency', kind: 'text', history: true },
  { key: 'receiverNumber', label: 'Receiver number', kind: 'text', history: true },
  { key: 'receiverType', label: 'Receiver type', kind: 'text', history: true },
  { key: 'receiverVersion', label: 'Receiver version', kind: 'text', history: true },
  { key: 'antennaNumber', label: 'Antenna number', kind: 'text', history: true },
  { key: 'antennaType', label: 'Antenna type', kind: 'text', history: true },
  { key: 'antennaHeight', label: 'Antenna height (m)', kind: 'text', history: true },
  { key: 'antennaOffset', label: 'Antenna offset east,north (m)', kind: 'text', history: true },
];

export const RUN_FIELDS = [
  { key: 'rinex', label: 'RINEX version', kind: 'select', choices: ['2', '3'] },
  { key: 'from', label: 'From (GPS, YYYY-MM-DD hh:mm:ss)', kind: 'text' },
  { key: 'to', label: 'To (GPS, YYYY-MM-DD hh:mm:ss)', kind: 'text' },
  { key: 'interval', label: 'Interval (s)', kind: 'text' },
  { key: 'tx', label: 'Tx of satellite-dated data (ms)', kind: 'text' },
  { key: 'doppler', label: 'Dopplers', kind: 'select', choices: ['', 'instantaneous', 'smoothed'] },
  { key: 'smoothedCodes', label: 'Position from smoothed codes', kind: 'check' },
  { key: 'log', label: 'Log files (.log, .pos)', kind: 'check' },
  { key: 'qc', label: 'Quality report', kind: 'check', initial: true },
  { key: 'dateFromData', label: 'Recorded On from the data', kind: 'check' },
  { key: 'country', label: 'Country of RINEX 3 names', kind: 'text' },
];

// Switches the command line can also turn off (--no-NAME).
const NEGATABLE = new Set(['smoothedCodes', 'log']);
// Settings of the page itself, never options.
const PAGE_ONLY = new Set(['creationTime', 'splice']);

const kebab = (key) => key.replace(/[A-Z]/g, (c) => `-${c.toLowerCase()}`);

// The command line's options for settings: true is --name, false --no-name where
// the command line has it, a text or number --name=value; empty values are left out.
export function optionsOf(settings) {
  const options = [];
  for (const [key, value] of Object.entries(settings || {})) {
    if (PAGE_ONLY.has(key) || value === undefined || value === null || value === '') continue;
    if (value === true) options.push(`--${kebab(key)}`);
    else if (value === false) { if (NEGATABLE.has(key)) options.push(`--no-${kebab(key)}`); }
    else options.push(`--${kebab(key)}=${value}`);
  }
  return options;
}
