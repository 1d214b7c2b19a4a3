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
  // Tab, and a screen reader, visit the enabled controls in the window's
  // order, which is their order in the document: the heading first, then
  // the boxes and buttons as Tab reaches them, then the labels and the
  // result cells, which are read, not visited.
  const order = core.tabOrder();
  const visited = new Set(order);
  const title = controls.find((c) => c.font === "title").name;
  form.append(el[title], ...order.map((name) => el[name]),
              ...controls.filter((c) => c.name !== title && !visited.has(c.name)).map((c) => el[c.name]));
  for (const name of cells) el[name].tabIndex = -1;
  // As in the window, Tab goes round: from the last control to the first.
  form.addEventListener("keydown", (event) => {
    if (event.key !== "Tab") return;
    const [first, last] = [el[order[0]], el[order[order.length - 1]]];
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

  const fillPage = () => {
    const page = core.page();
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
    const shown = core.press(name, typed.map((box) => [box, el[box].value]));
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
    const table = core.copyTable();
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

  // On a screen narrower than the window (a phone), the window is scaled
  // down to the width, so that it is seen whole.
  const fit = () => {
    const scale = Math.min(1, document.documentElement.clientWidth / (shape.width / twips));
    form.style.transform = scale < 1 ? `scale(${scale})` : "";
    screen.style.height = `${(shape.height / twips) * scale}px`;
  };
  window.addEventListener("resize", fit);
  fit();

  // Ready once the faces the layout asked for are in.
  void form.offsetWidth;
  document.fonts.ready.then(() => {
    el.Calcola.focus();
    performance.mark("solvara-ready");
    document.body.dataset.ready = "true";
  });
});
