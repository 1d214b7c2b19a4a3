"use strict";
// Builds the window from its control table and wires its events; every
// number, text, message and the page come from the C++ behind `core`.
createSolvara().then((core) => {
  const shape = core.form();
  const twips = shape.twipsPerPixel;
  const form = document.getElementById("MainForm");
  const screen = document.getElementById("Schermo");
  const dialog = document.getElementById("Messaggio");
  const menu = document.getElementById("Menu");
  const controls = core.controls();
  const el = {};
  const typed = []; // the boxes a user types in: latitude and declinations
  const cells = [];

  document.title = shape.caption;
  form.setAttribute("aria-label", shape.caption);
  form.style.width = `${shape.width / twips}px`;
  form.style.height = `${shape.height / twips}px`;

  for (const [index, c] of controls.entries()) {
    let e;
    if (c.kind === "box") {
      e = document.createElement("input");
      e.type = "text";
      e.value = c.text;
      e.spellcheck = false;
      e.autocomplete = "off";
      e.readOnly = !c.enabled;
      e.maxLength = 32767; // as much as the desktop's box takes
      (c.enabled ? typed : cells).push(c.name);
    } else if (c.kind === "button") {
      e = document.createElement("button");
      e.type = "button";
      e.textContent = c.text;
    } else {
      // The window's title is the page's heading.
      e = document.createElement(c.font === "title" ? "h1" : "div");
      e.textContent = c.text;
    }
    e.id = c.name;
    e.className = `${c.kind} ${c.font}${c.red ? " red" : ""}`;
    if (c.spoken) e.setAttribute("aria-label", c.spoken);
    Object.assign(e.style, {
      left: `${c.left / twips}px`,
      top: `${c.top / twips}px`,
      width: `${c.width / twips}px`,
      height: `${c.height / twips}px`,
      // Stacked as the window stacks its controls, whatever the document's
      // order: where a heading's box overlaps a box, the box is on top.
      zIndex: `${index}`,
    });
    el[c.name] = e;
  }
  // Tab, and a screen reader, visit the enabled controls in the order the
  // layout shows them, which is their order in the document. In the window:
  // the heading first, then the boxes and buttons as Tab reaches them in the
  // desktop's window, then the labels and the result cells, which are read,
  // not visited.
  const order = core.tabOrder();
  const visited = new Set(order);
  const title = controls.find((c) => c.font === "title").name;
  const wideOrder = [title, ...order,
    ...controls.filter((c) => c.name !== title && !visited.has(c.name)).map((c) => c.name)];
  // The narrow layout (a phone, a tablet held upright) has the printed
  // page's shape, row by row on nine columns (the declination, then the
  // eight hours): the latitude and the presets, then the table with each
  // column of the window as a row (its dates, its declination, its cells),
  // then the buttons.
  const grid = core.grid();
  const narrowRows = [
    [title], ["Label10", "Lat"], ["Label15"], ["Label1"], ["Command2", "Command3", "Command4"], ["Label477"],
    [grid.corner], [grid.declinations, ...grid.hours],
    ...grid.columns.flatMap((column) => [[column.heading], [column.box, ...column.cells]]),
    ["Calcola", "Azzera", "Command1"], ["Label144"],
  ];
  const thirds = { 1: [[1, -1]], 2: [[1, 4], [4, -1]], 3: [[1, 4], [4, 7], [7, -1]] };
  narrowRows.forEach((row, r) => row.forEach((name, i) => {
    const [from, to] = row.length > 3 ? [i + 1, i + 2] : thirds[row.length][i];
    el[name].style.gridArea = `${r + 1} / ${from} / ${r + 2} / ${to}`;
    if (row.length > 3) el[name].classList.add("in-column");
  }));
  const narrowOrder = narrowRows.flat();
  for (const name of cells) el[name].tabIndex = -1;
  let stops = order;
  const arrange = (narrow) => {
    const focused = document.activeElement;
    document.body.classList.toggle("narrow", narrow);
    form.append(...(narrow ? narrowOrder : wideOrder).map((name) => el[name]));
    stops = narrow ? narrowOrder.filter((name) => visited.has(name)) : order;
    if (form.contains(focused)) focused.focus();
  };

  // As in the window, Tab goes round: from the last control to the first.
  form.addEventListener("keydown", (event) => {
    if (event.key !== "Tab") return;
    const [first, last] = [el[stops[0]], el[stops[stops.length - 1]]];
    const wrapTo = event.shiftKey ? (document.activeElement === first ? last : null)
                                  : (document.activeElement === last ? first : null);
    if (wrapTo) {
      event.preventDefault();
      wrapTo.focus();
    }
  });

  const show = (shown) => {
    for (const [name, text] of shown.texts) el[name].value = text;
    for (const [name, caption] of shown.captions) el[name].textContent = caption;
    for (const name of typed) hint(el[name]);
  };

  // A box too narrow for its text shows it whole in its tooltip, with the
  // value it reads as, or why "Calcola" would refuse it.
  const hint = (box) => {
    const column = box.id === "Lat" ? 0 : typed.indexOf(box.id);
    box.title = box.scrollWidth > box.clientWidth ? core.readingHint(column, box.value) : "";
  };

  let restore = null;
  const refuse = (message, box) => {
    document.getElementById("MessaggioTesto").textContent = message;
    restore = el[box];
    dialog.showModal();
    document.getElementById("MessaggioOK").focus();
  };
  document.getElementById("MessaggioOK").addEventListener("click", () => dialog.close());
  // After the browser has put the focus back where it was: the refused box
  // gets it, its text selected to be typed over.
  dialog.addEventListener("close", () => setTimeout(() => {
    if (restore) {
      restore.focus();
      restore.select();
      restore = null;
    }
  }));

  // What the latitude and declination boxes hold now, for every press, copy
  // and printed page.
  const typedNow = () => typed.map((box) => [box, el[box].value]);
  const fillPage = () => {
    const page = core.page(typedNow());
    const sheet = document.getElementById("Pagina");
    sheet.replaceChildren();
    for (const t of page.texts) {
      if (!t.text) continue;
      const line = document.createElement("div");
      line.textContent = t.text;
      Object.assign(line.style, { left: `${t.x}mm`, top: `${t.y}mm`, fontSize: `${page.points}pt` });
      sheet.append(line);
    }
  };
  window.addEventListener("beforeprint", fillPage);

  const press = (name) => {
    if (dialog.open) return;
    if (name === "Command1") {
      // The browser's own print dialog; whether the user printed or not, a
      // page cannot know, so nothing is said afterwards.
      fillPage();
      window.print();
      return;
    }
    const shown = core.press(name, typedNow());
    if (shown.message) refuse(shown.message, shown.refusedBox);
    else show(shown);
  };
  for (const c of controls) if (c.kind === "button") el[c.name].addEventListener("click", () => press(c.name));
  for (const name of typed) el[name].addEventListener("input", () => hint(el[name]));

  // Copying: a selection in a box is copied as usual; otherwise, and from
  // the cells' menu, the whole table as the window shows it.
  let wholeTable = false;
  document.addEventListener("copy", (event) => {
    const box = document.activeElement;
    const selected = box && box.tagName === "INPUT" && box.selectionStart !== box.selectionEnd;
    if (selected && !wholeTable) return;
    const table = core.copyTable(typedNow());
    event.clipboardData.setData("text/plain", table.text);
    event.clipboardData.setData("text/html", table.html);
    event.preventDefault();
  });
  const closeMenu = () => { menu.hidden = true; };
  for (const name of cells)
    el[name].addEventListener("contextmenu", (event) => {
      event.preventDefault();
      Object.assign(menu.style, { left: `${event.clientX}px`, top: `${event.clientY}px` });
      menu.hidden = false;
      document.getElementById("CopiaTabella").focus();
    });
  document.getElementById("CopiaTabella").addEventListener("click", () => {
    wholeTable = true;
    document.execCommand("copy");
    wholeTable = false;
    closeMenu();
  });
  document.addEventListener("pointerdown", (event) => { if (!menu.contains(event.target)) closeMenu(); });
  document.addEventListener("keydown", (event) => { if (event.key === "Escape") closeMenu(); });

  // The window is drawn centred, as large as the room lets it, from its own
  // size up to twice that: there its 8 pt text reads as 16 pt, and larger
  // would only spread the boxes further apart. On a touch screen it is drawn
  // no smaller than its text at 12 px and its boxes at 24 px a side. Where
  // the room is narrower than that, the narrow layout takes its place.
  const [wide, high] = [shape.width / twips, shape.height / twips];
  const smallestBox = Math.min(...controls.filter((c) => c.kind !== "label").map((c) => c.height / twips));
  const touch = matchMedia("(pointer: coarse)");
  const openedAt = window.devicePixelRatio;
  let narrow = null;
  const fit = () => {
    const floor = touch.matches ? Math.max(12 / (8 * 4 / 3), 24 / smallestBox) : 1;
    const width = document.documentElement.clientWidth;
    if ((width < wide * floor) !== narrow) arrange((narrow = width < wide * floor));
    // The browser's own zoom still enlarges the window: the room is taken
    // as it was at the zoom the page was opened with.
    const zoom = window.devicePixelRatio / openedAt;
    const scale = Math.min(2, Math.max(floor, zoom * Math.min(width / wide, window.innerHeight / high)));
    form.style.transform = narrow ? "" : `scale(${scale})`;
    screen.style.width = narrow ? "" : `${wide * scale}px`;
    screen.style.height = narrow ? "" : `${high * scale}px`;
  };
  window.addEventListener("resize", fit);
  touch.addEventListener("change", fit);
  fit();

  // Ready once the faces the layout asked for are in.
  void form.offsetWidth;
  document.fonts.ready.then(() => {
    el.Calcola.focus();
    performance.mark("solvara-ready");
    document.body.dataset.ready = "true";
  });
});
