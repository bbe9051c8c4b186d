'use strict';
Tarvo.run(async () => {
  const {el} = Tarvo;
  const content = document.getElementById('content');
  const status = el('span', {class: 'live', id: 'live'}, 'connecting');
  const cards = el('div', {class: 'cards', id: 'stations'});
  const tableBox = el('div', {});
  content.append(el('p', {}, 'Updates: ', status), cards, el('h2', {}, 'As a table'), tableBox);

  function since(s) {
    if (s === null || s === undefined) return 'never';
    if (s < 60) return s + ' s ago';
    if (s < 3600) return Math.floor(s / 60) + ' min ago';
    if (s < 86400) return Math.floor(s / 3600) + ' h ago';
    return Math.floor(s / 86400) + ' d ago';
  }
  function station(s) {
    const parts = ['Station ' + s.station];
    if (s.station_no) parts.push('No. ' + s.station_no);
    if (s.belt_name || s.pc_name) parts.push([s.belt_name, s.pc_name].filter(Boolean).join('/'));
    return parts.join(' · ');
  }

  async function refresh() {
    const data = await Tarvo.get('/api/now');
    cards.replaceChildren();
    for (const s of data.stations) {
      cards.append(el('div', {class: 'card ' + s.state, 'data-uid': s.uid},
        el('div', {class: 'big'}, s.host), el('div', {}, station(s)),
        el('div', {}, s.text.trim()),
        el('div', {}, Tarvo.printerLink(s.usb_serial, s.head_id), ' ',
          el('span', {class: s.result}, s.result)),
        el('div', {}, el('span', {class: s.state}, s.state), ' · ', since(s.seconds_since))));
    }
    tableBox.replaceChildren(Tarvo.table('now-table', data.stations, [
      ['host', 'Host'], ['station', 'Station', {num: true}], ['station_no', 'No.'],
      ['belt_name', 'Belt'], ['pc_name', 'PC'], ['text', 'Last step'],
      ['head_id', 'Printer', {printer: true, value: (r) => r.head_id || r.usb_serial}],
      ['result', 'Result', {cls: (v) => v}], ['ended_utc', 'Ended (UTC)'],
      ['seconds_since', 'Seconds since', {num: true}], ['state', 'State', {cls: (v) => v}],
    ], {endpoint: '/api/now', table: 'stations'}));
  }
  await refresh();
  Tarvo.live(() => refresh().catch((e) => Tarvo.problem(e.message)), status);
});
